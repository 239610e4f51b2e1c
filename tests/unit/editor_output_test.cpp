#include "ed/commandline.h"
#include "ed/wideformat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct FormatCase {
    const wchar_t* host;
    const wchar_t* platform;
};

TEST(HostFormatToPlatform, TranslatesTheHostConventionToGlibc) {
    const FormatCase cases[] = {
        {L"\nError %s %s %ld\n", L"\nError %ls %ls %ld\n"},
        {L"%c", L"%lc"},
        {L"%ls and %lc stay wide", L"%ls and %lc stay wide"},
        {L"%ws %wc", L"%ls %lc"},
        {L"%hs %hc", L"%s %c"},
        {L"%S %C", L"%s %c"},
        {L"%lS %wC", L"%ls %lc"},
        {L"%I64d %I64u %I64x", L"%lld %llu %llx"},
        {L"%I32d %Iu", L"%d %zu"},
        {L"%-20s|%.*s|%08.3f", L"%-20ls|%.*ls|%08.3f"},
        {L"%lld %hhd %zu %Lf %d", L"%lld %hhd %zu %Lf %d"},
        {L"100%% of %s", L"100%% of %ls"},
        {L"%%s is not a conversion", L"%%s is not a conversion"},
        {L"no conversions", L"no conversions"},
        {L"trailing %", L"trailing %"},
        {L"trailing %I64", L"trailing %I64"},
        {L"", L""},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(hostFormatToPlatform(c.host), c.platform) << c.host;
}

class Transcript : public ::testing::Test {
protected:
    void SetUp() override { hosted::CommandLine::instance().clear(); }
    void TearDown() override { hosted::CommandLine::instance().clear(); }
};

TEST_F(Transcript, AcutPrintfAppendsInTheHostConvention) {
    const std::int64_t stamp = -1234567890123;
    EXPECT_EQ(acutPrintf(L"\n%s [%c] %I64d", L"Door \U0001F6AA", L'x', stamp), 26);
    acutPrintf(L" %hs%%", "narrow");
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), L"\nDoor \U0001F6AA [x] -1234567890123 narrow%");
}

TEST_F(Transcript, LongTextIsPrintedWhole) {
    const std::wstring longText(1000, L'a');
    EXPECT_EQ(acutPrintf(L"%s", longText.c_str()), 1000);
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), longText);
}

}  // namespace
