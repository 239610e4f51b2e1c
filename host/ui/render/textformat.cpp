#include "ui/render/textformat.h"

#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <numbers>

namespace hostui {

namespace {

constexpr wchar_t kDegree = L'\u00B0';
constexpr wchar_t kDiameter = L'\u2300';
constexpr wchar_t kPlusMinus = L'\u00B1';

// The look that runs take from the current group; { pushes a copy, } pops it.
using Look = FormattedRun;

// Appends text in the current look, starting a new run when the look changed.
void append(std::vector<FormattedRun>& runs, const Look& look, std::wstring_view text) {
    if (text.empty()) return;
    if (runs.empty() || [&] {
            FormattedRun a = runs.back(), b = look;
            a.text.clear();
            b.text.clear();
            return !(a == b);
        }()) {
        runs.push_back(look);
        runs.back().text.clear();
    }
    runs.back().text.append(text);
}

double number(std::wstring_view s) {
    const std::wstring copy(s);
    return std::wcstod(copy.c_str(), nullptr);
}

// \U+XXXX at s[i] (the backslash); the character and the length taken, or 0 when it is not one.
std::size_t unicodeEscape(std::wstring_view s, std::size_t i, wchar_t& out) {
    if (i + 7 > s.size()) return 0;
    if (s.substr(i, 3) != L"\\U+" && s.substr(i, 3) != L"\\u+") return 0;
    unsigned value = 0;
    for (std::size_t k = i + 3; k < i + 7; ++k) {
        const wchar_t c = s[k];
        if (!std::iswxdigit(static_cast<wint_t>(c))) return 0;
        value = value * 16 + (c <= L'9' ? static_cast<unsigned>(c - L'0')
                                          : static_cast<unsigned>(std::towlower(static_cast<wint_t>(c))) - 'a' + 10);
    }
    out = static_cast<wchar_t>(value);
    return 7;
}

// %%x at s[i]: the special sequences of single-line text. Answers the length taken
// (0 when s[i] starts none) and sets either the character or a toggle.
std::size_t percentSequence(std::wstring_view s, std::size_t i, std::wstring& out, bool& toggleUnderline,
                            bool& toggleOverline) {
    if (s.substr(i, 2) != L"%%" || i + 2 >= s.size()) return 0;
    const wchar_t c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(s[i + 2])));
    switch (c) {
        case L'd': out = kDegree; return 3;
        case L'c': out = kDiameter; return 3;
        case L'p': out = kPlusMinus; return 3;
        case L'%': out = L"%"; return 3;
        case L'u': toggleUnderline = true; return 3;
        case L'o': toggleOverline = true; return 3;
        case L'k': return 3;  // strike-through: not drawn
        default: break;
    }
    if (std::iswdigit(static_cast<wint_t>(c))) {
        std::size_t k = i + 2;
        unsigned code = 0;
        while (k < s.size() && k < i + 5 && std::iswdigit(static_cast<wint_t>(s[k])))
            code = code * 10 + static_cast<unsigned>(s[k++] - L'0');
        out = std::wstring(1, static_cast<wchar_t>(code));
        return k - i;
    }
    return 0;
}

// The argument of a code that ends at ';' (or at the end of the text).
std::wstring_view argument(std::wstring_view s, std::size_t from, std::size_t& next) {
    const std::size_t end = s.find(L';', from);
    const std::size_t stop = end == std::wstring_view::npos ? s.size() : end;
    next = end == std::wstring_view::npos ? s.size() : end + 1;
    return s.substr(from, stop - from);
}

// "Arial|b0|i0|c0|p34" or "romans.shx": the family or the font file.
std::wstring fontName(std::wstring_view arg) {
    const std::size_t bar = arg.find(L'|');
    return std::wstring(arg.substr(0, bar));
}

}  // namespace

std::wstring FormattedParagraph::plainText() const {
    std::wstring out;
    for (const auto& r : runs) out += r.text;
    return out;
}

std::vector<FormattedParagraph> parseMText(std::wstring_view s) {
    std::vector<FormattedParagraph> paragraphs(1);
    std::vector<Look> stack;
    Look look;
    auto emit = [&](std::wstring_view t) { append(paragraphs.back().runs, look, t); };
    std::size_t i = 0;
    while (i < s.size()) {
        const wchar_t c = s[i];
        if (c == L'{') {
            stack.push_back(look);
            ++i;
            continue;
        }
        if (c == L'}') {
            if (!stack.empty()) {
                look = stack.back();
                stack.pop_back();
            }
            ++i;
            continue;
        }
        if (c == L'%') {
            std::wstring out;
            bool u = false, o = false;
            if (const std::size_t n = percentSequence(s, i, out, u, o)) {
                if (u) look.underline = !look.underline;
                if (o) look.overline = !look.overline;
                emit(out);
                i += n;
                continue;
            }
        }
        if (c == L'^' && i + 1 < s.size()) {
            // Caret codes: ^I a tab, ^J a line break, ^M ignored; "^ " a caret.
            const wchar_t d = s[i + 1];
            if (d == L'J') paragraphs.emplace_back();
            else if (d == L'I') emit(L"    ");
            else if (d == L' ') emit(L"^");
            i += 2;
            continue;
        }
        if (c != L'\\' || i + 1 >= s.size()) {
            if (c != L'\n' && c != L'\r') emit(std::wstring_view(&s[i], 1));
            else if (c == L'\n') paragraphs.emplace_back();
            ++i;
            continue;
        }
        wchar_t uc = 0;
        if (const std::size_t n = unicodeEscape(s, i, uc)) {
            emit(std::wstring_view(&uc, 1));
            i += n;
            continue;
        }
        const wchar_t code = s[i + 1];
        std::size_t next = i + 2;
        switch (code) {
            case L'\\': case L'{': case L'}': emit(std::wstring_view(&s[i + 1], 1)); break;
            case L'P': case L'N': case L'X': paragraphs.emplace_back(); break;
            case L'~': emit(L" "); break;
            case L'L': look.underline = true; break;
            case L'l': look.underline = false; break;
            case L'O': look.overline = true; break;
            case L'o': look.overline = false; break;
            case L'K': case L'k': break;
            case L'f': case L'F': {
                const std::wstring_view a = argument(s, i + 2, next);
                look.family = fontName(a);
                look.bold = a.find(L"|b1") != std::wstring_view::npos;
                look.italic = a.find(L"|i1") != std::wstring_view::npos;
                break;
            }
            case L'H': {
                const std::wstring_view a = argument(s, i + 2, next);
                const double v = number(a);
                const bool relative = !a.empty() && (a.back() == L'x' || a.back() == L'X');
                if (v > 0 && relative) look.heightFactor *= v;
                if (v > 0 && !relative) {
                    look.height = v;
                    look.heightFactor = 1.0;
                }
                break;
            }
            case L'C': {
                look.colorIndex = static_cast<int>(number(argument(s, i + 2, next)));
                look.rgb.reset();
                break;
            }
            case L'c': {
                // A true colour written as a decimal number in BGR order.
                const auto v = static_cast<unsigned>(number(argument(s, i + 2, next)));
                look.rgb = ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
                break;
            }
            case L'W': {
                const double v = number(argument(s, i + 2, next));
                if (v > 0) look.widthFactor = v;
                break;
            }
            case L'Q': look.oblique = number(argument(s, i + 2, next)) * std::numbers::pi / 180.0; break;
            case L'S': {
                // A stack "a^b", "a/b" or "a#b" is shown on one line as a/b.
                std::wstring_view a = argument(s, i + 2, next);
                std::wstring shown;
                for (std::size_t k = 0; k < a.size(); ++k) {
                    if (a[k] == L'\\' && k + 1 < a.size()) {
                        shown += a[++k];
                    } else if (a[k] == L'^' || a[k] == L'#') {
                        shown += L'/';
                    } else {
                        shown += a[k];
                    }
                }
                while (!shown.empty() && shown.back() == L' ') shown.pop_back();
                emit(shown);
                break;
            }
            case L'A': case L'T': case L'p': case L'M': argument(s, i + 2, next); break;
            default: break;  // an unknown code letter: dropped with its backslash
        }
        i = next;
    }
    return paragraphs;
}

std::vector<FormattedRun> parseSingleLineText(std::wstring_view s) {
    std::vector<FormattedRun> runs;
    Look look;
    std::size_t i = 0;
    while (i < s.size()) {
        std::wstring out;
        bool u = false, o = false;
        if (const std::size_t n = percentSequence(s, i, out, u, o)) {
            if (u) look.underline = !look.underline;
            if (o) look.overline = !look.overline;
            append(runs, look, out);
            i += n;
            continue;
        }
        wchar_t uc = 0;
        if (const std::size_t n = unicodeEscape(s, i, uc)) {
            append(runs, look, std::wstring_view(&uc, 1));
            i += n;
            continue;
        }
        append(runs, look, s.substr(i, 1));
        ++i;
    }
    return runs;
}

std::wstring plainMText(std::wstring_view contents) {
    std::wstring out;
    bool first = true;
    for (const auto& p : parseMText(contents)) {
        if (!first) out += L'\n';
        first = false;
        out += p.plainText();
    }
    return out;
}

std::wstring plainSingleLineText(std::wstring_view text) {
    std::wstring out;
    for (const auto& r : parseSingleLineText(text)) out += r.text;
    return out;
}

}  // namespace hostui
