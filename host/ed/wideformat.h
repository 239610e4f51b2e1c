#pragma once

#include <string>
#include <string_view>

// The host's wide printf formats follow the platform convention of the host SDK, where
// "%s" and "%c" take wide text and "%I64d" a 64-bit integer. glibc's vswprintf reads
// "%s" as narrow text, so every wide format is translated before it is formatted:
//   %s, %c, %ls, %ws (and %S, %C with l or w)  ->  %ls, %lc   (wide)
//   %hs, %hc, %S, %C                           ->  %s, %c     (narrow)
//   %I64d, %I32d, %Id                          ->  %lld, %d, %zd (any integer conversion)
// Flags, width and precision pass unchanged, "%%" stays "%%", everything else is copied.
std::wstring hostFormatToPlatform(std::wstring_view format);

#include <cstdarg>

namespace hosted {
// Formats like vswprintf after translating the format. False (and out empty) when
// formatting fails or the text would need more than maxChars characters.
bool formatHostText(std::wstring& out, std::size_t maxChars, const wchar_t* format, va_list args);
}  // namespace hosted
