#include "storage/decimaltext.h"

#include <limits>

namespace {

bool isBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::int64_t parseLeadingDecimal(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    const bool negative = i < text.size() && text[i] == L'-';
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
    // Accumulated towards the negative side, whose range is one larger.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int digit = text[i] - L'0';
        if (value < (kMin + digit) / 10) {
            value = kMin;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative) return value;
    return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}
