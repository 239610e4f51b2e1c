#include "storage/utf16.h"

static_assert(sizeof(wchar_t) == 4, "wide text is taken to hold one code point per wchar_t");

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendUtf16(std::u16string& out, char32_t c) {
    if (isHighSurrogate(c) || isLowSurrogate(c) || c > kLastCodePoint) c = kReplacement;
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

}  // namespace

std::u16string toUtf16(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const wchar_t c : text) appendUtf16(out, static_cast<char32_t>(c));
    return out;
}

std::wstring fromUtf16(std::u16string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            out += static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00));
        } else {
            out += static_cast<wchar_t>(isHighSurrogate(c) || isLowSurrogate(c) ? kReplacement : c);
        }
    }
    return out;
}

std::wstring fromUtf16(const void* text) {
    return text ? fromUtf16(std::u16string_view(static_cast<const char16_t*>(text))) : std::wstring();
}

std::filesystem::path filePath(std::wstring_view text) { return std::filesystem::path(toUtf16(text)); }
