#include "ed/wideformat.h"

#include <array>
#include <cwchar>
#include <locale.h>
#include <vector>

namespace {

// Formats numbers with a decimal point whatever locale the process runs under (a window
// toolkit sets it from the environment), while text conversions keep the thread's
// character set: only the numeric category is switched to "C", for this thread, for
// the scope of one format.
class ClassicNumbersScope {
public:
    ClassicNumbersScope() {
        const locale_t base = duplocale(uselocale(static_cast<locale_t>(nullptr)));
        if (base == static_cast<locale_t>(nullptr)) return;
        m_locale = newlocale(LC_NUMERIC_MASK, "C", base);
        if (m_locale == static_cast<locale_t>(nullptr)) {
            freelocale(base);  // newlocale consumes base only when it succeeds
            return;
        }
        m_previous = uselocale(m_locale);
    }
    ~ClassicNumbersScope() {
        if (m_locale == static_cast<locale_t>(nullptr)) return;
        uselocale(m_previous);
        freelocale(m_locale);
    }
    ClassicNumbersScope(const ClassicNumbersScope&) = delete;
    ClassicNumbersScope& operator=(const ClassicNumbersScope&) = delete;

private:
    locale_t m_locale = static_cast<locale_t>(nullptr);
    locale_t m_previous = static_cast<locale_t>(nullptr);
};

bool isFlagWidthOrPrecision(wchar_t c) {
    return c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'\'' || c == L'*' || c == L'.' ||
           (c >= L'0' && c <= L'9');
}

// Longest first, so that "I64" is not read as "I" and "hh" not as "h".
constexpr std::array<std::wstring_view, 12> kLengthModifiers = {
    L"I64", L"I32", L"I", L"hh", L"ll", L"h", L"l", L"w", L"L", L"j", L"z", L"t"};

std::wstring_view readLengthModifier(std::wstring_view format, std::size_t& i) {
    for (std::wstring_view modifier : kLengthModifiers)
        if (format.substr(i).starts_with(modifier)) {
            i += modifier.size();
            return modifier;
        }
    return {};
}

bool isTextConversion(wchar_t c) { return c == L's' || c == L'c' || c == L'S' || c == L'C'; }

// Lower-case s and c are wide unless "h" makes them narrow; upper-case S and C are
// narrow unless "l" or "w" makes them wide.
void appendTextConversion(std::wstring& out, std::wstring_view modifier, wchar_t conversion) {
    const bool upper = conversion == L'S' || conversion == L'C';
    const bool wide = modifier == L"l" || modifier == L"w" || (modifier.empty() && !upper);
    if (wide) out += L'l';
    out += upper ? (conversion == L'S' ? L's' : L'c') : conversion;
}

std::wstring_view platformIntegerModifier(std::wstring_view modifier) {
    if (modifier == L"I64") return L"ll";
    if (modifier == L"I32") return L"";
    if (modifier == L"I") return L"z";
    return modifier;
}

// Translates one conversion that starts after its '%' at format[i]; answers the index
// after it.
std::size_t translateConversion(std::wstring_view format, std::size_t i, std::wstring& out) {
    while (i < format.size() && isFlagWidthOrPrecision(format[i])) out += format[i++];
    const std::wstring_view modifier = readLengthModifier(format, i);
    if (i == format.size()) {
        out += modifier;
        return i;
    }
    const wchar_t conversion = format[i];
    if (isTextConversion(conversion)) appendTextConversion(out, modifier, conversion);
    else {
        out += platformIntegerModifier(modifier);
        out += conversion;
    }
    return i + 1;
}

}  // namespace

std::wstring hostFormatToPlatform(std::wstring_view format) {
    std::wstring out;
    out.reserve(format.size() + 8);
    std::size_t i = 0;
    while (i < format.size()) {
        const wchar_t c = format[i++];
        out += c;
        if (c != L'%' || i == format.size()) continue;
        if (format[i] == L'%') out += format[i++];
        else i = translateConversion(format, i, out);
    }
    return out;
}

namespace hosted {

bool formatHostText(std::wstring& out, std::size_t maxChars, const wchar_t* format, va_list args) {
    out.clear();
    if (!format) return false;
    const std::wstring platform = hostFormatToPlatform(format);
    std::vector<wchar_t> buffer(maxChars + 1);
    const ClassicNumbersScope classicNumbers;
    const int n = std::vswprintf(buffer.data(), buffer.size(), platform.c_str(), args);
    if (n < 0) return false;
    out.assign(buffer.data(), static_cast<std::size_t>(n));
    return true;
}

}  // namespace hosted
