#include "ed/wideformat.h"

#include <cwchar>
#include <cwctype>
#include <vector>

namespace hosted {

namespace {

constexpr std::wstring_view kFlags = L"-+ #0'";
constexpr std::wstring_view kConversions = L"diouxXeEfFgGaAcspnCS%";

// Copies one conversion specification starting after '%' and answers the index past it.
std::size_t translateSpec(std::wstring_view f, std::size_t i, std::wstring& out) {
    out += L'%';
    while (i < f.size() && (kFlags.find(f[i]) != std::wstring_view::npos || std::iswdigit(static_cast<wint_t>(f[i])) ||
                            f[i] == L'.' || f[i] == L'*'))
        out += f[i++];
    enum class Width { none, narrow, wide } width = Width::none;
    std::wstring length;
    while (i < f.size() && kConversions.find(f[i]) == std::wstring_view::npos) {
        if (f.substr(i, 3) == L"I64") {
            length = L"ll";
            i += 3;
        } else if (f.substr(i, 3) == L"I32") {
            i += 3;
        } else if (f[i] == L'h') {
            width = Width::narrow;
            length += f[i++];
        } else if (f[i] == L'l' || f[i] == L'w') {
            width = Width::wide;
            length += f[i] == L'w' ? L'l' : f[i];
            ++i;
        } else {
            length += f[i++];
        }
    }
    if (i >= f.size()) return i;
    wchar_t conv = f[i];
    const bool text = conv == L's' || conv == L'c' || conv == L'S' || conv == L'C';
    if (text) {
        // Upper-case S and C name the opposite width of the lower-case ones.
        const bool upper = conv == L'S' || conv == L'C';
        const bool narrow = width == Width::narrow || (width == Width::none && upper);
        conv = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(conv)));
        out += narrow ? L"" : L"l";
    } else {
        out += length;
    }
    out += conv;
    return i + 1;
}

}  // namespace

std::wstring hostFormatToPlatform(std::wstring_view format) {
    std::wstring out;
    out.reserve(format.size() + 8);
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != L'%') {
            out += format[i++];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            out += L"%%";
            i += 2;
            continue;
        }
        i = translateSpec(format, i + 1, out);
    }
    return out;
}

bool formatHostText(std::wstring& out, std::size_t maxChars, const wchar_t* format, va_list args) {
    out.clear();
    if (!format) return false;
    const std::wstring platform = hostFormatToPlatform(format);
    std::vector<wchar_t> buffer(maxChars + 1);
    const int n = std::vswprintf(buffer.data(), buffer.size(), platform.c_str(), args);
    if (n < 0) return false;
    out.assign(buffer.data(), static_cast<std::size_t>(n));
    return true;
}

}  // namespace hosted
