#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// UTF-8 is the host's narrow text everywhere: in drawing files, in messages from the
// system, in the module's database files. These conversions sit at the bottom of the
// host so that every layer can use them without reaching up to the file layer.
namespace hostrx {

// Ill-formed bytes become U+FFFD, one for each byte.
std::wstring utf8ToWide(std::string_view text);
// Surrogates and values past U+10FFFF become U+FFFD.
std::string wideToUtf8(std::wstring_view text);
// True when text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);
// Replaces every ill-formed byte with U+FFFD.
std::string repairUtf8(std::string_view text);
void appendUtf8(std::string& out, char32_t c);

// A file path from wide text and back, through UTF-8 bytes: the standard library's own
// conversion of wide paths knows ASCII alone and throws on any other character.
std::filesystem::path widePath(std::wstring_view path);
std::wstring pathText(const std::filesystem::path& path);

}  // namespace hostrx
