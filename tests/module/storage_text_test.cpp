#include "storage/decimaltext.h"
#include "storage/utf16.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

struct Utf16Case {
    const char* label;
    std::wstring wide;
    std::u16string utf16;
};

TEST(Utf16, ConvertsBothWaysIncludingCharactersOutsideTheBasicPlane) {
    const Utf16Case cases[] = {
        {"empty", L"", u""},
        {"ascii", L"Door Set", u"Door Set"},
        {"latin and cjk", L"T\u00FCr \u9580", u"T\u00FCr \u9580"},
        {"last of the basic plane", L"\uFFFD\uFFFF", u"\uFFFD\uFFFF"},
        {"surrogate pair", L"a\U0001F6AAb", u"a\xD83D\xDEAA" u"b"},
        {"highest code point", L"\U0010FFFF", u"\xDBFF\xDFFF"},
    };
    for (const Utf16Case& c : cases) {
        EXPECT_EQ(toUtf16(c.wide), c.utf16) << c.label;
        EXPECT_EQ(fromUtf16(std::u16string_view(c.utf16)), c.wide) << c.label;
    }
}

TEST(Utf16, TextWithoutAFormInTheOtherEncodingBecomesTheReplacementCharacter) {
    const std::wstring unpaired{static_cast<wchar_t>(0xD800), L'x', static_cast<wchar_t>(0xDC00)};
    EXPECT_EQ(toUtf16(unpaired), u"\uFFFDx\uFFFD");
    EXPECT_EQ(toUtf16(std::wstring(1, static_cast<wchar_t>(0x110000))), u"\uFFFD");

    const Utf16Case broken[] = {
        {"high surrogate at the end", L"a\uFFFD", u"a\xD83D"},
        {"low surrogate alone", L"\uFFFDa", u"\xDEAA" u"a"},
        {"pair in the wrong order", L"\uFFFD\uFFFD", u"\xDEAA\xD83D"},
        {"high surrogate before a letter", L"\uFFFDb", u"\xD83D" u"b"},
    };
    for (const Utf16Case& c : broken) EXPECT_EQ(fromUtf16(std::u16string_view(c.utf16)), c.wide) << c.label;
}

TEST(Utf16, NullPointerFromSqliteReadsAsEmpty) { EXPECT_EQ(fromUtf16(static_cast<const void*>(nullptr)), L""); }

TEST(ParseLeadingDecimal, ReadsTheIntegerAtTheStart) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const struct {
        const wchar_t* text;
        std::int64_t value;
    } cases[] = {
        {L"1700000000", 1700000000},
        {L" \t\n-42abc", -42},
        {L"+7", 7},
        {L"12 34", 12},
        {L"", 0},
        {L"abc", 0},
        {L"-", 0},
        {L"--1", 0},
        {L"9223372036854775807", kMax},
        {L"-9223372036854775808", kMin},
        {L"9223372036854775808", kMax},
        {L"-99999999999999999999", kMin},
    };
    for (const auto& c : cases) EXPECT_EQ(parseLeadingDecimal(c.text), c.value) << c.text;
}

}  // namespace
