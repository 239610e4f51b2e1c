#include "ui/framework/collation.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <cwchar>
#include <vector>

namespace {

struct CachedCollator {
    QLocale locale;
    DWORD flags;
    QCollator collator;
};

QCollator makeCollator(const QLocale& locale, DWORD flags) {
    QCollator collator(locale);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    collator.setCaseSensitivity(flags & NORM_IGNORECASE ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return collator;
}

// Making a collator costs far more than a comparison, and lists sort thousands of
// names, so one is kept per locale and flag set in use. Per thread, since a collator
// is not to be shared between threads while it compares.
const QCollator& collatorFor(DWORD flags) {
    constexpr std::size_t kMostKept = 8;
    thread_local std::vector<CachedCollator> cache;
    const QLocale locale;
    for (const CachedCollator& kept : cache)
        if (kept.flags == flags && kept.locale == locale) return kept.collator;
    if (cache.size() == kMostKept) cache.clear();
    cache.push_back({locale, flags, makeCollator(locale, flags)});
    return cache.back().collator;
}

QString textOf(const wchar_t* s, int count) {
    return QString::fromWCharArray(s, count < 0 ? static_cast<qsizetype>(std::wcslen(s)) : count);
}

bool passedOverInWordSort(QChar c) {
    switch (c.unicode()) {
        case u'-': case u'\'': case u'\u00AD': case u'\u2010': case u'\u2011': case u'\u2019': return true;
        default: return false;
    }
}

QString withoutHyphensAndApostrophes(QString s) {
    s.removeIf(passedOverInWordSort);
    return s;
}

}  // namespace

int CompareStringW(LCID locale, DWORD flags, const wchar_t* a, int countA, const wchar_t* b, int countB) {
    if (!a || !b || (locale != LOCALE_USER_DEFAULT && locale != LOCALE_SYSTEM_DEFAULT)) return 0;
    const QCollator& collator = collatorFor(flags & (SORT_STRINGSORT | NORM_IGNORECASE));
    const QString left = textOf(a, countA), right = textOf(b, countB);
    int order = 0;
    if (!(flags & SORT_STRINGSORT))
        order = collator.compare(withoutHyphensAndApostrophes(left), withoutHyphensAndApostrophes(right));
    if (order == 0) order = collator.compare(left, right);
    return order < 0 ? CSTR_LESS_THAN : order == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN;
}
