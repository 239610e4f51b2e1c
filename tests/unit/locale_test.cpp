// What must not change with the process locale, which a window toolkit sets from the
// environment: numbers as text (the one pair of functions every reader and writer goes
// through, and the places that read and write numbers, under a comma-decimal locale),
// and the letter case by which names match.

#include "db/dimension.h"
#include "db/foreignentity.h"
#include "ed/editor.h"
#include "ed/wcmatch.h"
#include "ed/wideformat.h"
#include "rx/numbertext.h"
#include "rx/textcase.h"
#include "rx/utf8.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

TEST(NumberText, WritesTheShortestTextThatReadsBackExactly) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.1, "0.1"},
        {1.1, "1.1"},
        {5.0, "5.0"},
        {-2.5, "-2.5"},
        {-0.0, "0.0"},
        {1e20, "1e+20"},
        {1.0 / 3.0, "0.3333333333333333"},
        {0.1 + 0.2, "0.30000000000000004"},
        {123456.789, "123456.789"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(hostrx::formatNumber(c.value), c.text);
    }
}

TEST(NumberText, EveryFiniteValueSurvivesARoundTrip) {
    const double values[] = {0.1, 1.0 / 3.0, 1e-300, 1e300, -7.25e-9, std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(), 42.0};
    for (double v : values) {
        const std::string text = hostrx::formatNumber(v);
        double back = 0.0;
        ASSERT_TRUE(hostrx::parseNumber(text, back)) << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(v)) << text;
    }
}

TEST(NumberText, ReadsOnlyAWholeDecimalNumber) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"2.5", true, 2.5},       {" \t2.5 ", true, 2.5}, {"+3", true, 3.0},      {"-4e2", true, -400.0},
        {".5", true, 0.5},        {"5.", true, 5.0},      {"1E-3", true, 0.001},  {"0,5", false, 0},
        {"0x10", false, 0},       {"1.5abc", false, 0},   {"", false, 0},         {"   ", false, 0},
        {"+", false, 0},          {"++1", false, 0},      {"+-1", false, 0},      {"1 2", false, 0},
        {"1e400", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        double v = -99.0;
        EXPECT_EQ(hostrx::parseNumber(std::string_view(c.text), v), c.ok);
        EXPECT_EQ(v, c.ok ? c.value : -99.0) << "a refused text leaves the value alone";
    }
}

// Plain decimals take a shorter way than the general parser: it must give the same
// double to the bit, at the edges of that way too (the most digits and places it takes,
// ties of rounding, negative zero) and just past them.
TEST(NumberText, PlainDecimalsReadAsTheGeneralParserReadsThem) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "-0.0",
                                      "0.1",
                                      "0.3",
                                      "-12.5",
                                      "9007199254740992",
                                      "9007199254740993",
                                      "900719925474099.3",
                                      "123456789012345678",
                                      "1234567890123456789",
                                      "0.0000000000000000000001",
                                      "0.00000000000000000000001",
                                      "1.7976931348623157",
                                      "2.2250738585072014",
                                      "0.30000000000000004",
                                      "5.",
                                      ".5",
                                      "-.5"};
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    const auto nextRandom = [&state] {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return state;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t digits = nextRandom() % 10000000000000000ULL;
        std::string text = std::to_string(digits);
        const std::size_t point = nextRandom() % (text.size() + 1);
        if (point < text.size()) text.insert(text.size() - point, ".");
        if (text.front() == '.') text.insert(0, "0");
        if (nextRandom() % 2) text.insert(0, "-");
        texts.push_back(text);
    }
    for (const auto& text : texts) {
        double expected = 0.0, got = 0.0;
        const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_TRUE(ec == std::errc() && ptr == text.data() + text.size()) << text;
        ASSERT_TRUE(hostrx::parseNumber(text, got)) << text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(expected)) << text;
    }
}

TEST(NumberText, WideTextOutsideAsciiIsNoNumber) {
    double v = 0.0;
    EXPECT_TRUE(hostrx::parseNumber(std::wstring_view(L" 12.5"), v));
    EXPECT_EQ(v, 12.5);
    EXPECT_FALSE(hostrx::parseNumber(std::wstring_view(L"\u0661\u0662"), v));  // Arabic-Indic digits
    EXPECT_FALSE(hostrx::parseNumber(std::wstring_view(L"1\u00A0000"), v));
}

TEST(NumberText, IntegersAreWholeAndInRange) {
    long long v = 0;
    EXPECT_TRUE(hostrx::parseInteger(" -40 ", v));
    EXPECT_EQ(v, -40);
    EXPECT_FALSE(hostrx::parseInteger("4.0", v));
    EXPECT_FALSE(hostrx::parseInteger("99999999999999999999", v));
}

// The process locale set to a comma-decimal one for the test, and set back after.
class CommaLocale : public testing::Test {
protected:
    void SetUp() override {
        if (const char* current = std::setlocale(LC_ALL, nullptr)) m_saved = current;
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
        // Without this the tests below would pass for the wrong reason.
        char probe[16];
        std::snprintf(probe, sizeof probe, "%g", 0.5);
        ASSERT_STREQ(probe, "0,5");
    }
    void TearDown() override { std::setlocale(LC_ALL, m_saved.c_str()); }

private:
    std::string m_saved = "C";
};

TEST_F(CommaLocale, NumberTextIgnoresTheLocale) {
    EXPECT_EQ(hostrx::formatNumber(0.5), "0.5");
    double v = 0.0;
    EXPECT_TRUE(hostrx::parseNumber(std::string_view("0.5"), v));
    EXPECT_EQ(v, 0.5);
    EXPECT_FALSE(hostrx::parseNumber(std::string_view("0,5"), v));
}

TEST_F(CommaLocale, ScriptInputReadsDecimalPoints) {
    EXPECT_EQ(hosted::parseReal(L"0.25"), 0.25);
    EXPECT_EQ(hosted::parseReal(L"0,25"), std::nullopt);
    const auto p = hosted::parsePoint(L"1.5,2.25,-0.5");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, 1.5);
    EXPECT_EQ(p->y, 2.25);
    EXPECT_EQ(p->z, -0.5);
}

std::wstring format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::wstring out;
    EXPECT_TRUE(hosted::formatHostText(out, 200, fmt, args));
    va_end(args);
    return out;
}

TEST_F(CommaLocale, ModulePrintingWritesAPointAndKeepsWideText) {
    EXPECT_EQ(format(L"%g|%.2f|%e|%d|%s", 0.5, 1.25, 1500.0, 3, L"Gr\u00F6\u00DFe"),
              L"0.5|1.25|1.500000e+03|3|Gr\u00F6\u00DFe");
    // Narrow text still goes through the locale's character set: UTF-8 here.
    EXPECT_EQ(format(L"%hs", "Gr\xC3\xB6\xC3\x9F" "e"), L"Gr\u00F6\u00DFe");
    // The locale is the caller's again afterwards.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 0.5);
    EXPECT_STREQ(probe, "0,5");
}

TEST_F(CommaLocale, TransformedSplineKeepsItsNumbersInShortestForm) {
    AcDbForeignEntity spline("SPLINE");
    spline.foreign().chunk("AcDbSpline") = {{70, "8"}, {10, "0.1"}, {20, "0.2"}, {30, "0.3"},
                                            {10, "2.5"}, {20, "0.7"}, {30, "0"}};
    ASSERT_EQ(spline.transformBy(AcGeMatrix3d::translation(AcGeVector3d(1, 0, 0))), Acad::eOk);
    const hostdb::FilerItems want = {{70, "8"}, {10, "1.1"}, {20, "0.2"}, {30, "0.3"},
                                     {10, "3.5"}, {20, "0.7"}, {30, "0.0"}};
    const hostdb::FilerItems& got = spline.foreign().chunk("AcDbSpline");
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].code, want[i].code);
        EXPECT_EQ(got[i].value, want[i].value) << "group " << got[i].code;
    }
}

TEST_F(CommaLocale, LeaderOverridesAreReadAndWrittenWithAPoint) {
    AcDbLeader leader;
    // An override as a file gives it, read under the comma locale.
    leader.foreign().xdata() = {{1001, "ACAD"}, {1000, "DSTYLE"}, {1002, "{"}, {1070, "40"}, {1040, "2.5"},
                                {1002, "}"}};
    EXPECT_EQ(leader.dimscale(), 2.5);
    ASSERT_EQ(leader.setDimtxt(0.1), Acad::eOk);
    EXPECT_EQ(leader.dimtxt(), 0.1);
    const hostdb::FilerItems& xdata = leader.foreign().xdata();
    bool found = false;
    for (std::size_t i = 0; i + 1 < xdata.size(); ++i)
        if (xdata[i].code == 1070 && xdata[i].value == "140") {
            EXPECT_EQ(xdata[i + 1].value, "0.1");
            found = true;
        }
    EXPECT_TRUE(found) << "the text height override was not written";
}

TEST(LetterCase, NamesMatchAlikeUnderEveryLocale) {
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    } cases[] = {
        {L"flipx", L"FLIPX", true},
        {L"texttoclayer", L"TextToCLayer", true},
        {L"öl", L"ÖL", true},           // öl, ÖL
        {L"αβ", L"ΑΒ", true},  // Greek
        {L"i", L"İ", false},                  // dotted capital I is another letter
        {L"Straße", L"STRASSE", false},
    };
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "de_DE.UTF-8", "tr_TR.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale)) continue;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(locale) + " " + hostrx::wideToUtf8(c.a));
            EXPECT_EQ(hostrx::equalsNoCase(c.a, c.b), c.same);
        }
        EXPECT_EQ(hostrx::upperCased(L"zelncopy"), L"ZELNCOPY") << locale;
        // The pattern language's letter and separator classes, and white space.
        EXPECT_TRUE(hosted::wildcardMatchNoCase(L"\u00d6L", L"@@")) << locale;
        EXPECT_FALSE(hosted::wildcardMatchNoCase(L"\u00e9", L".")) << locale;
        EXPECT_EQ(hosted::trimmed(L"\u3000 Gr\u00f6\u00dfe\t"), L"Gr\u00f6\u00dfe") << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
