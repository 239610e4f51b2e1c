#pragma once

// The platform's string comparison for sorting what users see (names in lists), in the
// user's language. Qt's collator does the work, so the order is the one the user's
// locale (QLocale(), as the host last set it) gives, with digits compared one by one
// ("LAYER10" before "LAYER2").

#include "ap/platform.h"

using LCID = DWORD;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400, LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr DWORD SORT_STRINGSORT = 0x1000, NORM_IGNORECASE = 0x1;
constexpr int CSTR_LESS_THAN = 1, CSTR_EQUAL = 2, CSTR_GREATER_THAN = 3;

// Compares the first countA characters of a with the first countB of b (a negative
// count: up to the terminator) and answers one of the CSTR_ values; 0 for a null
// string or a locale other than the two defaults, which both mean the user's locale.
//
// Without SORT_STRINGSORT it is the platform's word sort: hyphens and apostrophes are
// passed over ("co-op" sorts with "coop"), and only two texts equal without them are
// told apart by them, as the string sort would. With SORT_STRINGSORT they weigh as any
// other symbol. Letter case follows the locale (lower case first for the same letter);
// NORM_IGNORECASE ignores it but not accents.
int CompareStringW(LCID locale, DWORD flags, const wchar_t* a, int countA, const wchar_t* b, int countB);
