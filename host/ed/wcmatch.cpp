#include "ed/wcmatch.h"

#include "ed/adscodes.h"
#include "rx/textcase.h"

#include <string>
#include <string_view>

namespace {

// Matches one character class at pattern[i] ('[' already consumed); i moves past ']'.
bool matchClass(std::wstring_view pat, std::size_t& i, wchar_t c) {
    bool negate = false, found = false;
    if (i < pat.size() && pat[i] == L'~') {
        negate = true;
        ++i;
    }
    const std::size_t first = i;
    while (i < pat.size() && (pat[i] != L']' || i == first)) {
        if (i + 2 < pat.size() && pat[i + 1] == L'-' && pat[i + 2] != L']') {
            found |= c >= pat[i] && c <= pat[i + 2];
            i += 3;
        } else {
            found |= c == pat[i++];
        }
    }
    if (i < pat.size()) ++i;
    return found != negate;
}

bool matchHere(std::wstring_view s, std::wstring_view pat) {
    std::size_t si = 0, pi = 0;
    while (pi < pat.size()) {
        const wchar_t p = pat[pi];
        if (p == L'*') {
            const std::wstring_view rest = pat.substr(pi + 1);
            for (std::size_t k = si; k <= s.size(); ++k)
                if (matchHere(s.substr(k), rest)) return true;
            return false;
        }
        if (si >= s.size()) return false;
        const wchar_t c = s[si];
        bool ok = false;
        ++pi;
        switch (p) {
            case L'#': ok = c >= L'0' && c <= L'9'; break;
            case L'@': ok = hostrx::isLetter(c); break;
            case L'.': ok = !hostrx::isLetterOrDigit(c); break;
            case L'?': ok = true; break;
            case L'[': ok = matchClass(pat, pi, c); break;
            case L'`': ok = pi < pat.size() && pat[pi++] == c; break;
            default: ok = p == c; break;
        }
        if (!ok) return false;
        ++si;
    }
    return si == s.size();
}

// Splits at unescaped commas outside brackets and tries each alternative.
bool matchAlternatives(std::wstring_view s, std::wstring_view pattern) {
    bool negate = false;
    if (!pattern.empty() && pattern.front() == L'~') {
        negate = true;
        pattern.remove_prefix(1);
    }
    std::size_t start = 0;
    bool inClass = false;
    for (std::size_t i = 0; i <= pattern.size(); ++i) {
        if (i < pattern.size()) {
            if (pattern[i] == L'`') {
                ++i;
                continue;
            }
            if (pattern[i] == L'[') inClass = true;
            else if (pattern[i] == L']') inClass = false;
            if (pattern[i] != L',' || inClass) continue;
        }
        if (matchHere(s, pattern.substr(start, i - start))) return !negate;
        start = i + 1;
    }
    return negate;
}

}  // namespace

int acutWcMatch(const ACHAR* string, const ACHAR* pattern) {
    if (!string || !pattern) return RTERROR;
    return matchAlternatives(string, pattern) ? RTNORM : RTERROR;
}

namespace hosted {
bool wildcardMatchNoCase(const wchar_t* string, const wchar_t* pattern) {
    if (!string || !pattern) return false;
    return matchAlternatives(hostrx::upperCased(string), hostrx::upperCased(pattern));
}
}  // namespace hosted
