#include "textcodec.h"

#include "../rx/utf8.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace hostdxf {

bool hasUnicodeEscape(std::string_view text) {
    return text.find("\\U+") != std::string_view::npos || text.find("\\u+") != std::string_view::npos;
}

std::string decodeUnicodeEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 6 < text.size() + 0 && (text[i + 1] == 'U' || text[i + 1] == 'u') &&
            text[i + 2] == '+') {
            char32_t c = 0;
            bool ok = i + 7 <= text.size();
            for (std::size_t k = 3; ok && k < 7; ++k) {
                const char h = text[i + k];
                const int v = (h >= '0' && h <= '9') ? h - '0'
                              : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                              : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                                                       : -1;
                if (v < 0) ok = false;
                c = (c << 4) | static_cast<char32_t>(v < 0 ? 0 : v);
            }
            if (ok && !(c >= 0xD800 && c <= 0xDFFF)) {
                hostrx::appendUtf8(out, c);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

struct CodePageDecoder::Impl {
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
};

namespace {
std::string iconvName(std::string_view page) {
    std::string p(page);
    for (auto& ch : p) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (p.starts_with("ANSI_")) {
        const std::string n = p.substr(5);
        if (n == "932") return "CP932";
        if (n == "936") return "GBK";
        if (n == "949") return "CP949";
        if (n == "950") return "BIG5";
        return "CP" + n;
    }
    if (p.starts_with("ISO8859-") || p.starts_with("ISO-8859-")) return "ISO-8859-" + p.substr(p.rfind('-') + 1);
    if (p == "UTF-8" || p == "UTF8") return "UTF-8";
    return "CP1252";  // the code page of drawings that name none or one this host does not know
}
}  // namespace

CodePageDecoder::CodePageDecoder(std::string_view page) : m_impl(std::make_unique<Impl>()) {
    m_impl->cd = iconv_open("UTF-8", iconvName(page).c_str());
    if (m_impl->cd == reinterpret_cast<iconv_t>(-1)) m_impl->cd = iconv_open("UTF-8", "CP1252");
}

CodePageDecoder::~CodePageDecoder() {
    if (m_impl->cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_impl->cd);
}

bool CodePageDecoder::isAscii(std::string_view in) const {
    for (char c : in)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool CodePageDecoder::decode(std::string_view in, std::string& out) {
    out.clear();
    if (isAscii(in) || m_impl->cd == reinterpret_cast<iconv_t>(-1)) {
        out.assign(in);
        return isAscii(in);
    }
    iconv(m_impl->cd, nullptr, nullptr, nullptr, nullptr);
    bool clean = true;
    std::string buffer(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        const std::size_t r = iconv(m_impl->cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer.data(), buffer.size() - dstLeft);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // A byte the code page does not define: replace it and go on.
            clean = false;
            hostrx::appendUtf8(out, 0xFFFD);
            ++src;
            --srcLeft;
            iconv(m_impl->cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return clean;
}

}  // namespace hostdxf
