#include "ui/render/textformat.h"

#include <gtest/gtest.h>

namespace {

using hostui::parseMText;
using hostui::parseSingleLineText;
using hostui::plainMText;
using hostui::plainSingleLineText;

struct PlainCase {
    const char* name;
    std::wstring stored;
    std::wstring shown;
};

// Rows are named by their name alone in test output.
void PrintTo(const PlainCase& row, std::ostream* out) { *out << row.name; }

class MTextShown : public testing::TestWithParam<PlainCase> {};

TEST_P(MTextShown, CodesBecomeFormattingAndNeverShow) { EXPECT_EQ(plainMText(GetParam().stored), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    TextFormat, MTextShown,
    testing::Values(PlainCase{"ParagraphsAndHardSpace", L"{\\fArial|b1;Big}\\PSecond\\~line", L"Big\nSecond line"},
                    PlainCase{"SpecialCharacters", L"%%c50 %%p0.1 45%%d", L"\u230050 \u00B10.1 45\u00B0"},
                    PlainCase{"HeightCodes", L"\\H2x;Tall\\H1.5;er", L"Taller"},
                    PlainCase{"ColourAndUnderline", L"\\C1;Red \\LUnder\\l done", L"Red Under done"},
                    PlainCase{"EscapedBackslashAndBraces", L"a\\\\b\\{c\\}", L"a\\b{c}"},
                    PlainCase{"StackShownAsFraction", L"\\S1^2; in", L"1/2 in"},
                    PlainCase{"ParagraphPropertiesDropped", L"\\A1;\\pxqc;Centered", L"Centered"},
                    PlainCase{"UnicodeEscape", L"\\U+00B0C", L"\u00B0C"},
                    PlainCase{"UnknownCodeLetterDropped", L"unknown \\Zcode", L"unknown code"},
                    PlainCase{"UnclosedArgumentEndsTheText", L"x\\fArial", L"x"},
                    PlainCase{"GroupsNest", L"{a{\\C2;b}c}", L"abc"}),
    [](const testing::TestParamInfo<PlainCase>& row) { return std::string(row.param.name); });

TEST(TextFormat, GroupsScopeTheirLook) {
    const auto paragraphs = parseMText(L"{\\C1;\\H2x;\\fTimes|b1|i0;R}G\\LU");
    ASSERT_EQ(paragraphs.size(), 1u);
    const auto& runs = paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, L"R");
    EXPECT_EQ(runs[0].colorIndex, 1);
    EXPECT_DOUBLE_EQ(runs[0].heightFactor, 2.0);
    EXPECT_EQ(runs[0].family, L"Times");
    EXPECT_TRUE(runs[0].bold);
    EXPECT_FALSE(runs[0].italic);
    EXPECT_FALSE(runs[1].bold);
    EXPECT_EQ(runs[1].text, L"G");
    EXPECT_FALSE(runs[1].colorIndex.has_value());
    EXPECT_FALSE(runs[1].family.has_value());
    EXPECT_TRUE(runs[2].underline);
}

TEST(TextFormat, AbsoluteHeightReplacesTheEntitysAndRelativeScalesIt) {
    const auto runs = parseMText(L"\\H7;a\\H0.5x;b")[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].height, 7.0);
    EXPECT_DOUBLE_EQ(runs[1].heightFactor, 0.5);
    EXPECT_EQ(runs[1].height, 7.0);
}

TEST(TextFormat, SingleLineTextSequences) {
    EXPECT_EQ(plainSingleLineText(L"%%uUnder%%u 100%%% %%d%%c%%p"), L"Under 100% \u00B0\u2300\u00B1");
    EXPECT_EQ(plainSingleLineText(L"%%065B"), L"AB");
    // Backslash codes belong to MText: a single-line text shows them as typed.
    EXPECT_EQ(plainSingleLineText(L"a\\Pb"), L"a\\Pb");
    const auto runs = parseSingleLineText(L"%%uUnder%%u plain");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(runs[0].underline);
    EXPECT_FALSE(runs[1].underline);
}

}  // namespace
