#include "textcase.h"

#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace hostrx {

namespace {

// The character classes of "C.UTF-8", held for the life of the process. On a system
// that lacks that locale, "C" answers: ASCII alone has letters, case and spaces.
class UnicodeClasses {
public:
    UnicodeClasses() : m_locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
        if (m_locale == static_cast<locale_t>(nullptr))
            m_locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }
    ~UnicodeClasses() {
        if (m_locale != static_cast<locale_t>(nullptr)) freelocale(m_locale);
    }
    UnicodeClasses(const UnicodeClasses&) = delete;
    UnicodeClasses& operator=(const UnicodeClasses&) = delete;

    static const UnicodeClasses& instance() {
        static const UnicodeClasses classes;
        return classes;
    }

    wchar_t upper(wchar_t c) const {
        if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
        if (c < 0x80 || !valid()) return c;
        return static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), m_locale));
    }
    bool alpha(wchar_t c) const {
        return valid() ? iswalpha_l(static_cast<wint_t>(c), m_locale) != 0 : (c | 0x20) >= L'a' && (c | 0x20) <= L'z';
    }
    bool space(wchar_t c) const {
        return valid() ? iswspace_l(static_cast<wint_t>(c), m_locale) != 0 : c == L' ' || (c >= L'\t' && c <= L'\r');
    }

private:
    bool valid() const { return m_locale != static_cast<locale_t>(nullptr); }
    locale_t m_locale;
};

}  // namespace

wchar_t upperChar(wchar_t c) { return UnicodeClasses::instance().upper(c); }

bool isLetter(wchar_t c) { return UnicodeClasses::instance().alpha(c); }

bool isLetterOrDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || isLetter(c); }

bool isSpace(wchar_t c) { return UnicodeClasses::instance().space(c); }

}  // namespace hostrx
