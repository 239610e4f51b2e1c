// The platform's string comparison, in the user's locale.

#include "ui/framework/collation.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// The user's locale set for the test, and set back after.
class Collation : public testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }
    void TearDown() override { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

int compare(DWORD flags, const wchar_t* a, const wchar_t* b) {
    return CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
}

TEST_F(Collation, OrdersAsTheUserReads) {
    constexpr int L = CSTR_LESS_THAN, E = CSTR_EQUAL, G = CSTR_GREATER_THAN;
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        int wordSort, stringSort, wordSortNoCase, stringSortNoCase;
    } cases[] = {
        {L"A-B", L"AB", L, L, L, L},        // equal but for the hyphen: the hyphen tells them apart
        {L"A-C", L"AB", G, L, G, L},        // the word sort passes over the hyphen
        {L"can't", L"cans", G, L, G, L},    // and over the apostrophe
        {L"co-op", L"coop", L, L, L, L},
        {L"A B", L"AB", L, L, L, L},        // a blank is no hyphen: it counts in both
        {L"A C", L"AB", L, L, L, L},
        {L"a", L"B", L, L, L, L},
        {L"B", L"a", G, G, G, G},
        {L"a", L"A", L, L, E, E},           // lower case first, unless case is ignored
        {L"Layer", L"LAYER", L, L, E, E},
        {L"abc", L"ABD", L, L, L, L},
        {L"LAYER10", L"LAYER2", L, L, L, L},  // digits one by one
        {L"\u00C9", L"F", L, L, L, L},        // an accented letter sorts with its letter
        {L"\u00C9", L"E", G, G, G, G},        // after it, case or not
        {L"Layer", L"Layer", E, E, E, E},
        {L"", L"a", L, L, L, L},
        {L"", L"", E, E, E, E},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromWCharArray(c.a).toStdString() + " / " + QString::fromWCharArray(c.b).toStdString());
        EXPECT_EQ(compare(0, c.a, c.b), c.wordSort);
        EXPECT_EQ(compare(SORT_STRINGSORT, c.a, c.b), c.stringSort);
        EXPECT_EQ(compare(NORM_IGNORECASE, c.a, c.b), c.wordSortNoCase);
        EXPECT_EQ(compare(SORT_STRINGSORT | NORM_IGNORECASE, c.a, c.b), c.stringSortNoCase);
    }
}

TEST_F(Collation, CountsCutTheTexts) {
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, L"abcdef", 3, L"abc", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, L"abc", -1, L"abz", 2), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, L"abc", 0, L"", -1), CSTR_EQUAL);
}

TEST_F(Collation, RefusesNullTextsAndOtherLocales) {
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, nullptr, -1, L"a", -1), 0);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, L"a", -1, nullptr, -1), 0);
    EXPECT_EQ(CompareStringW(0x0409, 0, L"a", -1, L"b", -1), 0);
    EXPECT_EQ(CompareStringW(LOCALE_SYSTEM_DEFAULT, 0, L"a", -1, L"b", -1), CSTR_LESS_THAN);
}

// The collators are kept between calls; a change of the user's locale must still tell.
TEST_F(Collation, FollowsAChangeOfTheUsersLocale) {
    EXPECT_EQ(compare(0, L"\u00E4", L"z"), CSTR_LESS_THAN) << "in English a-umlaut is an a";
    QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
    EXPECT_EQ(compare(0, L"\u00E4", L"z"), CSTR_GREATER_THAN) << "in Swedish it follows z";
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(compare(0, L"\u00E4", L"z"), CSTR_LESS_THAN);
}

}  // namespace
