#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The module's text is wchar_t (UTF-32 here); SQLite's interface of choice takes
// UTF-16. These convert at that boundary. A code point that has no UTF-16 form (a lone
// surrogate, a value past U+10FFFF) and an unpaired surrogate in UTF-16 both become
// U+FFFD, so a conversion never fails.
std::u16string toUtf16(std::wstring_view text);
std::wstring fromUtf16(std::u16string_view text);
// For UTF-16 text that SQLite hands out as a NUL-terminated pointer; null gives "".
std::wstring fromUtf16(const void* text);

// A file path from wide text. The standard library turns UTF-16 into the system's UTF-8;
// its own conversion of wide text knows ASCII alone and throws on any other character.
std::filesystem::path filePath(std::wstring_view text);
