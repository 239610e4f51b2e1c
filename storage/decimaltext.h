#pragma once

#include <cstdint>
#include <string_view>

// Reads the integer at the start of a text column as the stores have always read it:
// leading white space and one sign allowed, reading stops at the first non-digit, 0
// when there are no digits. A value past the 64-bit range is held at its limit.
std::int64_t parseLeadingDecimal(std::wstring_view text);
