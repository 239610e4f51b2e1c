#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace hosted {

// The host's printf-style functions take wide formats the way the host platform reads
// them: "%s" and "%c" are wide, "%hs"/"%hc" narrow, "%I64d" a 64-bit integer. The C
// library here reads "%s" in a wide format as narrow, so formats are translated
// before they reach it.
std::wstring hostFormatToPlatform(std::wstring_view format);

// Formats like vswprintf after translating the format. False (and out empty) when
// formatting fails or the text would need more than maxChars characters.
bool formatHostText(std::wstring& out, std::size_t maxChars, const wchar_t* format, va_list args);

}  // namespace hosted
