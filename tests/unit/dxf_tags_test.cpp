// The lowest part of the file layer on inline fragments: groups read from text, text
// decoded from code pages and escapes, groups written back.

#include "dxf/angles.h"
#include "dxf/tagreader.h"
#include "dxf/tagwriter.h"
#include "dxf/textcodec.h"
#include "rx/numbertext.h"
#include "rx/utf8.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using hostdxf::Tag;
using hostdxf::TagReader;

// One group as a test expects it: the value as text (for numbers, as read).
struct Group {
    int code;
    std::string value;
    bool operator==(const Group&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Group& g) { return os << g.code << ":\"" << g.value << "\""; }

std::string shown(const Tag& t) {
    switch (hostdxf::valueKind(t.code)) {
    case hostdxf::ValueKind::Real: return hostrx::formatNumber(t.real);
    case hostdxf::ValueKind::Integer: return std::to_string(t.integer);
    default: return std::string(t.value);
    }
}

// Every group up to the end or the first error.
std::vector<Group> readAll(TagReader& reader) {
    std::vector<Group> out;
    Tag t;
    while (reader.next(t)) out.push_back({t.code, shown(t)});
    return out;
}

struct ReadCase {
    const char* name;
    std::string data;
    std::vector<Group> groups;
    std::string error;  // empty: the data reads to its end
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

// "a code past the last" -> "acodepastthelast": GoogleTest takes letters and digits only.
std::string caseName(const testing::TestParamInfo<ReadCase>& param) {
    std::string name;
    for (const char* p = param.param.name; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
    return name;
}

class TagReading : public testing::TestWithParam<ReadCase> {};

TEST_P(TagReading, GroupsAndErrors) {
    const ReadCase& c = GetParam();
    TagReader reader(c.data);
    EXPECT_EQ(readAll(reader), c.groups);
    EXPECT_EQ(reader.error(), c.error);
    if (c.error.empty()) {
        EXPECT_TRUE(reader.atEnd());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fragments, TagReading,
    testing::Values(
        ReadCase{"codes right-aligned, left-aligned and with zeros", "  0\nLINE\n8\nWALLS\n010\n1.5\n", {{0, "LINE"}, {8, "WALLS"}, {10, "1.5"}}, ""},
        ReadCase{"windows line ends", "  0\r\nLINE\r\n 62\r\n1\r\n", {{0, "LINE"}, {62, "1"}}, ""},
        ReadCase{"no line end after the last value", "  0\nEOF", {{0, "EOF"}}, ""},
        ReadCase{"byte-order mark before the first code", "\xEF\xBB\xBF  0\nSECTION\n", {{0, "SECTION"}}, ""},
        ReadCase{"numbers with blanks and a plus", " 40\n  +2.5 \n 70\n\t7\n", {{40, "2.5"}, {70, "7"}}, ""},
        ReadCase{"a whole real where an integer belongs", " 70\n1.0\n 90\n-3.0\n", {{70, "1"}, {90, "-3"}}, ""},
        ReadCase{"exponent in a real", " 10\n1.5E+3\n", {{10, "1500.0"}}, ""},
        ReadCase{"handles and text keep their spelling", "  5\n1A\n  1\n  two  spaces \n", {{5, "1A"}, {1, "  two  spaces "}}, ""},
        ReadCase{"negative codes", " -1\nENTNAME\n", {{-1, "ENTNAME"}}, ""},
        ReadCase{"a code that is not a number", "  0\nLINE\nten\n1\n", {{0, "LINE"}}, "line 3: \"ten\" is not a group code"},
        ReadCase{"a code past the last", "1072\nx\n", {}, "line 1: \"1072\" is not a group code"},
        ReadCase{"a real that is not a number", " 10\n1,5\n", {}, "line 2: \"1,5\" is not a number (group code 10)"},
        ReadCase{"an integer with a fraction", " 70\n1.5\n", {}, "line 2: \"1.5\" is not a whole number (group code 70)"},
        ReadCase{"the file ends after a code", "  0\nLINE\n 10\n", {{0, "LINE"}}, "line 3: the file ends after group code 10"}),
    caseName);

TEST(TagReader, PushedBackGroupComesAgainWithItsLine) {
    TagReader reader("  0\nLINE\n  8\nWALLS\n");
    Tag t;
    ASSERT_TRUE(reader.next(t));
    ASSERT_TRUE(reader.next(t));
    EXPECT_EQ(reader.line(), 3u);
    reader.pushBack(t);
    Tag again;
    ASSERT_TRUE(reader.next(again));
    EXPECT_EQ(again.code, 8);
    EXPECT_EQ(again.value, "WALLS");
    EXPECT_EQ(reader.line(), 3u);
    EXPECT_TRUE(reader.atEnd());
}

struct TextCase {
    const char* name;
    const char* codePage;  // nullptr: a UTF-8 file
    bool escapes;
    std::string raw;
    std::string text;  // UTF-8
    bool invalid;
};

// Text values of files in UTF-8 (2007 and later) and in a code page (before), with the
// "\U+XXXX" escapes of the older files.
TEST(TagReader, TextValuesAreDecoded) {
    const TextCase cases[] = {
        {"plain UTF-8", nullptr, false, "Gr\xC3\xB6\xC3\x9F" "e", "Gr\xC3\xB6\xC3\x9F" "e", false},
        {"broken UTF-8 byte", nullptr, false, "A\xFF" "B", "A\xEF\xBF\xBD" "B", true},
        {"UTF-8 cut short", nullptr, false, "A\xE4\xB8", "A\xEF\xBF\xBD\xEF\xBF\xBD", true},
        {"escapes stay in a UTF-8 file", nullptr, false, "\\U+00E9", "\\U+00E9", false},
        {"NUL in a text", nullptr, false, std::string("A\0B", 3), "A\xEF\xBF\xBD" "B", true},
        {"1252", "ANSI_1252", true, "\xE4\x80", "\xC3\xA4\xE2\x82\xAC", false},
        {"1251", "ANSI_1251", true, "\xC4\xE0", "\xD0\x94\xD0\xB0", false},
        {"932", "ANSI_932", true, "\x93\xFA\x96\x7B", "\xE6\x97\xA5\xE6\x9C\xAC", false},
        {"escape in a code-page file", "ANSI_1252", true, "\\U+4E2D\\U+00e9", "\xE4\xB8\xAD\xC3\xA9", false},
        {"escape and code page together", "ANSI_1252", true, "\xE4\\U+00DF", "\xC3\xA4\xC3\x9F", false},
        {"escapes left alone when not asked", "ANSI_1252", false, "\\U+00E9", "\\U+00E9", false},
        {"byte the code page lacks", "ANSI_932", true, "\xA0", "\xEF\xBF\xBD", true},
        {"unknown code page reads as 1252", "ANSI_99999", true, "\xE9", "\xC3\xA9", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string data = "  1\n" + c.raw + "\n";  // the reader keeps a view of it
        TagReader reader(data);
        if (c.codePage) reader.setCodePage(c.codePage, c.escapes);
        Tag t;
        ASSERT_TRUE(reader.next(t)) << reader.error();
        EXPECT_EQ(t.value, c.text);
        EXPECT_EQ(reader.hadInvalidText(), c.invalid);
    }
}

TEST(TextCodec, UnicodeEscapes) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"A\\U+00C4B", "A\xC3\x84" "B"},
        {"\\u+00e4", "\xC3\xA4"},
        {"\\U+4E2D\\U+6587", "\xE4\xB8\xAD\xE6\x96\x87"},
        {"end \\U+00", "end \\U+00"},          // too short
        {"\\U+00G1", "\\U+00G1"},              // not hexadecimal
        {"\\U+D800", "\\U+D800"},              // a lone surrogate is no character
        {"\\U-00E9", "\\U-00E9"},
        {"\\\\U+0041", "\\A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(hostdxf::decodeUnicodeEscapes(c.in), c.out);
    }
    EXPECT_TRUE(hostdxf::hasUnicodeEscape("x\\u+0041"));
    EXPECT_FALSE(hostdxf::hasUnicodeEscape("U+0041"));
}

TEST(Utf8, WellFormedAndRepaired) {
    const struct {
        const char* name;
        std::string in;
        bool valid;
        std::string repaired;
    } cases[] = {
        {"ASCII longer than a word", "ABCDEFGHIJKLMNOP", true, "ABCDEFGHIJKLMNOP"},
        {"four-byte character", "\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
        {"overlong NUL", "\xC0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"encoded surrogate", "\xED\xA0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"stray continuation after ASCII", "ABCDEFGH\x80", false, "ABCDEFGH\xEF\xBF\xBD"},
        {"cut short at the end", "x\xE4\xB8", false, "x\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hostrx::isValidUtf8(c.in), c.valid);
        EXPECT_EQ(hostrx::repairUtf8(c.in), c.repaired);
        EXPECT_TRUE(hostrx::isValidUtf8(hostrx::repairUtf8(c.in)));
    }
}

TEST(Utf8, WideConversions) {
    EXPECT_EQ(hostrx::utf8ToWide("Gr\xC3\xB6\xC3\x9F" "e \xF0\x9F\x98\x80"), L"Gr\u00F6\u00DFe \U0001F600");
    EXPECT_EQ(hostrx::wideToUtf8(L"Gr\u00F6\u00DFe \U0001F600"), "Gr\xC3\xB6\xC3\x9F" "e \xF0\x9F\x98\x80");
    EXPECT_EQ(hostrx::utf8ToWide("A\xFF"), L"A\uFFFD");
    const wchar_t surrogate[] = {L'A', static_cast<wchar_t>(0xD800), 0};
    EXPECT_EQ(hostrx::wideToUtf8(surrogate), "A\xEF\xBF\xBD");
}

TEST(TagWriter, GroupsAreWrittenAsReadersExpect) {
    hostdxf::TagWriter w;
    w.text(0, "LINE");
    w.text(1, "two\nlines\r");
    w.text(1, std::wstring_view(L"Gr\u00F6\u00DFe"));
    w.real(10, 0.1);
    w.real(40, 5.0);
    w.real(41, -0.0);
    w.real(42, std::numeric_limits<double>::quiet_NaN());
    w.real(43, std::numeric_limits<double>::infinity());
    w.integer(1071, -7);
    w.handle(5, 0x1AF);
    w.point2(11, 1.5, 2.5);
    w.binary(310, std::vector<std::uint8_t>(130, 0xAB));
    std::string fullLine;  // 127 bytes, the most one line of binary data holds
    for (int i = 0; i < 127; ++i) fullLine += "AB";
    const std::string expected = "  0\nLINE\n  1\ntwo lines \n  1\nGr\xC3\xB6\xC3\x9F" "e\n 10\n0.1\n 40\n5.0\n"
                                 " 41\n0.0\n 42\n0.0\n 43\n0.0\n1071\n-7\n  5\n1AF\n 11\n1.5\n 21\n2.5\n"
                                 "310\n" + fullLine + "\n310\nABABAB\n";
    EXPECT_EQ(w.data(), expected);
    // And it reads back to the same groups.
    TagReader reader(w.data());
    const std::vector<Group> back = readAll(reader);
    EXPECT_TRUE(reader.error().empty()) << reader.error();
    EXPECT_EQ(back.size(), 14u);
}

// Every angle a file gives with one decimal is saved as it was read; an angle the host
// computed reads back to within a rounding.
TEST(Angles, DegreesAreWrittenShortAndReadBackExactly) {
    for (int tenths = -7200; tenths <= 7200; ++tenths) {
        const double degrees = tenths / 10.0;
        const double radians = hostdxf::radiansFromDegrees(degrees);
        EXPECT_EQ(hostdxf::degreesToWrite(radians), degrees) << degrees;
    }
    for (double radians : {1.0, 0.1, -2.5, 1e-9, 3.141592653589793, 6.283185307179586}) {
        const double written = hostdxf::degreesToWrite(radians);
        EXPECT_DOUBLE_EQ(hostdxf::radiansFromDegrees(written), radians);
    }
}

}  // namespace
