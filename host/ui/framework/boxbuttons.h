#pragma once

#include "ui/framework/wintypes.h"

#include <optional>
#include <string_view>
#include <vector>

namespace hostui {

// A message box button: the name a script answers it by and the id the box returns.
struct BoxButton {
    const wchar_t* name;
    int id;
};

// The buttons a message box of this type shows (MB_OK, MB_OKCANCEL, MB_YESNO,
// MB_YESNOCANCEL in the low bits; any other type shows OK alone), in the order shown.
std::vector<BoxButton> messageBoxButtons(UINT type);

// A button by its name, "OK", "Cancel", "Yes" or "No", whatever box shows it.
std::optional<BoxButton> boxButtonNamed(std::wstring_view name);

}  // namespace hostui
