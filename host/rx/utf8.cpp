#include "utf8.h"

#include <cstdint>
#include <cstring>

namespace hostrx {

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

namespace {
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

std::filesystem::path widePath(std::wstring_view path) { return std::filesystem::path(wideToUtf8(path)); }

std::wstring pathText(const std::filesystem::path& path) { return utf8ToWide(path.native()); }

}  // namespace hostrx
