#include "textcodec.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace hostdxf {

namespace {
void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when ill-formed.
std::size_t decodeOne(std::string_view text, std::size_t i, char32_t& c) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    std::size_t len = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) len = 2, c = b0 & 0x1F, min = 0x80;
    else if ((b0 & 0xF0) == 0xE0) len = 3, c = b0 & 0x0F, min = 0x800;
    else if ((b0 & 0xF8) == 0xF0) len = 4, c = b0 & 0x07, min = 0x10000;
    else return 0;
    if (i + len > text.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return len;
}
}  // namespace

std::wstring utf8ToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t n = decodeOne(text, i, c);
        if (n == 0) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += n;
    }
    return out;
}

std::string wideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        appendUtf8(out, c);
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        // Nearly all text of a drawing is ASCII: eight bytes at a time while it is.
        std::uint64_t word = 0;
        if (i + sizeof word <= text.size()) {
            std::memcpy(&word, text.data() + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += sizeof word;
                continue;
            }
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t n = decodeOne(text, i, c);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string repairUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t n = decodeOne(text, i, c);
        if (n == 0) {
            appendUtf8(out, 0xFFFD);
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

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
                appendUtf8(out, c);
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
            appendUtf8(out, 0xFFFD);
            ++src;
            --srcLeft;
            iconv(m_impl->cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return clean;
}

}  // namespace hostdxf
