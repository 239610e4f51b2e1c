#include "frame/commandline.h"
#include "frame/hostapi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { hostEditorTranscript().clear(); }
    void TearDown() override { hostEditorTranscript().clear(); }
};

TEST_F(CommandLine, PrintsTheStorageErrorLineInTheHostConvention) {
    printToCommandLine(L"\nError %s %s %ld\n", L"SQLITE_ERROR[1]: no such table: HISTORY",
                       L"SQliteUtils::getHistory", 42L);
    EXPECT_EQ(hostEditorTranscript(), L"\nError SQLITE_ERROR[1]: no such table: HISTORY SQliteUtils::getHistory 42\n");
}

TEST_F(CommandLine, PercentSignInTheTextIsPrintedUnchanged) {
    printToCommandLine(L"%s", L"100%s sure %d");
    EXPECT_EQ(hostEditorTranscript(), L"100%s sure %d");
}

TEST_F(CommandLine, PrintsOnlyWhatFitsTheBuffer) {
    struct Case {
        std::size_t length;
        bool printed;
    };
    for (const Case c : {Case{0, false}, Case{1, true}, Case{1023, true}, Case{1024, false}}) {
        hostEditorTranscript().clear();
        const std::wstring text(c.length, L'x');
        printToCommandLine(L"%s", text.c_str());
        EXPECT_EQ(hostEditorTranscript(), c.printed ? text : L"") << c.length;
    }
}

}  // namespace
