#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace hostdxf {

// Turns "\U+XXXX" escapes (the way older files spell characters outside their code
// page) into the characters themselves.
bool hasUnicodeEscape(std::string_view text);
std::string decodeUnicodeEscapes(std::string_view text);

// Decodes text of a drawing's code page ("ANSI_1252", "ANSI_932", ...) to UTF-8.
class CodePageDecoder {
public:
    explicit CodePageDecoder(std::string_view dwgCodePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    // False when some bytes are not valid in the code page; they become U+FFFD.
    bool decode(std::string_view in, std::string& out);
    bool isAscii(std::string_view in) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace hostdxf
