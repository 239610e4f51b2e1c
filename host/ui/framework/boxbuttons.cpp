#include "ui/framework/boxbuttons.h"

#include <algorithm>
#include <iterator>

namespace hostui {

namespace {

constexpr BoxButton kOk{L"OK", IDOK}, kCancel{L"Cancel", IDCANCEL}, kYes{L"Yes", IDYES}, kNo{L"No", IDNO};

}  // namespace

std::vector<BoxButton> messageBoxButtons(UINT type) {
    switch (type & 0xF) {
        case MB_YESNO: return {kYes, kNo};
        case MB_YESNOCANCEL: return {kYes, kNo, kCancel};
        case MB_OKCANCEL: return {kOk, kCancel};
        default: return {kOk};
    }
}

std::optional<BoxButton> boxButtonNamed(std::wstring_view name) {
    constexpr BoxButton all[] = {kOk, kCancel, kYes, kNo};
    const auto it = std::find_if(std::begin(all), std::end(all), [&](const BoxButton& b) { return name == b.name; });
    if (it == std::end(all)) return std::nullopt;
    return *it;
}

}  // namespace hostui
