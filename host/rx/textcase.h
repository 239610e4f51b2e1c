#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Names in a drawing and on the command line (symbols, dictionary keys, commands,
// keywords) are the same without regard to letter case.
namespace hostrx {

// Unicode's own upper case, whatever the process locale: under a Turkish locale "i"
// would become "İ", and "flipx" would no longer name FLIPX; under "C", "ö"
// would not meet "Ö".
wchar_t upperChar(wchar_t c);
// Unicode's letters and white space, likewise whatever the process locale.
bool isLetter(wchar_t c);
bool isLetterOrDigit(wchar_t c);
bool isSpace(wchar_t c);

inline bool equalsNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return upperChar(x) == upperChar(y); });
}

inline std::wstring upperCased(std::wstring_view text) {
    std::wstring out(text);
    std::transform(out.begin(), out.end(), out.begin(), upperChar);
    return out;
}

}  // namespace hostrx
