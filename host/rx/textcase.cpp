#include "textcase.h"

#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace hostrx {

namespace {

// The character classes of "C.UTF-8", held for the life of the process.
class UnicodeCase {
public:
    UnicodeCase() : m_locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {}
    ~UnicodeCase() {
        if (m_locale != static_cast<locale_t>(nullptr)) freelocale(m_locale);
    }
    UnicodeCase(const UnicodeCase&) = delete;
    UnicodeCase& operator=(const UnicodeCase&) = delete;

    wchar_t upper(wchar_t c) const {
        if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
        if (c < 0x80) return c;
        // Without the locale (a system that lacks it) only ASCII letters change case.
        if (m_locale == static_cast<locale_t>(nullptr)) return c;
        return static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), m_locale));
    }

private:
    locale_t m_locale;
};

}  // namespace

wchar_t upperChar(wchar_t c) {
    static const UnicodeCase unicodeCase;
    return unicodeCase.upper(c);
}

}  // namespace hostrx
