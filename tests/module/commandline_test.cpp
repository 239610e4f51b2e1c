#include "frame/commandlineprinter.h"
#include "frame/hostapi.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { hosted::CommandLine::instance().clear(); }
    void TearDown() override { hosted::CommandLine::instance().clear(); }
};

TEST_F(CommandLine, PrintsTheStorageErrorLineInTheHostConvention) {
    printToCommandLine(L"\nError %s %s %ld\n", L"SQLITE_ERROR[1]: no such table: HISTORY",
                       L"SQliteUtils::getHistory", 42L);
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), L"\nError SQLITE_ERROR[1]: no such table: HISTORY SQliteUtils::getHistory 42\n");
}

TEST_F(CommandLine, PercentSignInTheTextIsPrintedUnchanged) {
    printToCommandLine(L"%s", L"100%s sure %d");
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), L"100%s sure %d");
}

TEST_F(CommandLine, PrintsOnlyWhatFitsTheBuffer) {
    struct Case {
        std::size_t length;
        bool printed;
    };
    for (const Case c : {Case{0, false}, Case{1, true}, Case{1023, true}, Case{1024, false}}) {
        hosted::CommandLine::instance().clear();
        const std::wstring text(c.length, L'x');
        printToCommandLine(L"%s", text.c_str());
        EXPECT_EQ(hosted::CommandLine::instance().transcript(), c.printed ? text : L"") << c.length;
    }
}

// A window toolkit sets the process locale from the environment; the module's numbers
// must still print with a point.
TEST_F(CommandLine, NumbersPrintWithAPointUnderACommaLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    printToCommandLine(L"%.2f %g acutPrintf", 1.5, 0.25);
    acutPrintf(L" %.1f", 2.5);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), L"1.50 0.25 acutPrintf 2.5");
}

}  // namespace
