// Fields in the main window's view: they show their properties' values as they are at
// the last regeneration, and the host's REGEN brings them up to date.

#include "ap/docmanager.h"
#include "db/field.h"
#include "db/mtext.h"
#include "db/summaryinfo.h"
#include "ed/commandline.h"
#include "ed/editor.h"
#include "ed/inputsource.h"
#include "rx/moduleloader.h"
#include "testdrawing.h"

#include "app/builtins.h"
#include "app/mainwindow.h"
#include "app/scriptrunner.h"
#include "ui/render/drawingview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

namespace {

void setProperty(AcDbDatabase& db, const ACHAR* key, const ACHAR* value) {
    AcDbDatabaseSummaryInfo* info = nullptr;
    ASSERT_EQ(acdbGetSummaryInfo(&db, info), Acad::eOk);
    std::unique_ptr<AcDbDatabaseSummaryInfo> owned(info);
    if (info->setCustomSummaryInfo(key, value) != Acad::eOk) info->addCustomSummaryInfo(key, value);
    ASSERT_EQ(acdbPutSummaryInfo(info, &db), Acad::eOk);
}

class FieldsInTheView : public ::testing::Test {
protected:
    void SetUp() override {
        AcApDocument* doc = nullptr;
        std::wstring why;
        ASSERT_EQ(acDocManager->openDocument(L"", doc, why), Acad::eOk);
        db = doc->database();
        setProperty(*db, L"Project No", L"P-1");
        addFieldText(*db, L"%<\\AcVar CustomDP.Project No>%", {0, 0, 0});
        window = std::make_unique<hostapp::MainWindow>();
        hostapp::registerBuiltinCommands(loader);
        hosted::CommandLine::instance().clear();
    }
    void TearDown() override {
        hostapp::removeBuiltinCommands();
        window.reset();
        hosted::Editor::instance().setInput(nullptr);
        hosted::Editor::instance().clearFailure();
        acDocManager->closeAll();
    }

    void run(const std::string& script) {
        std::istringstream in(script);
        hosted::ScriptInput input(in, L"regen.scr");
        std::wstring message;
        EXPECT_EQ(hostapp::runCommandLine(input, message), hostapp::ExitStatus::done) << message;
    }

    std::vector<std::wstring> shown() const { return window->view()->displayedTexts(); }

    hostrx::ModuleLoader loader;
    AcDbDatabase* db = nullptr;
    std::unique_ptr<hostapp::MainWindow> window;
};

TEST_F(FieldsInTheView, RegenShowsAChangedProperty) {
    EXPECT_EQ(shown(), std::vector<std::wstring>{L"P-1"});
    setProperty(*db, L"Project No", L"P-2");
    EXPECT_EQ(shown(), std::vector<std::wstring>{L"P-1"}) << "no regeneration yet";
    run("REGEN\n");
    EXPECT_EQ(shown(), std::vector<std::wstring>{L"P-2"});
    EXPECT_NE(hosted::CommandLine::instance().transcript().find(L"Command: REGEN\nRegenerating model."),
              std::wstring::npos);
}

TEST_F(FieldsInTheView, EveryCommandsEndRegeneratesTheView) {
    setProperty(*db, L"Project No", L"P-3");
    run("CLAYER\n\n");
    EXPECT_EQ(shown(), std::vector<std::wstring>{L"P-3"});
}

TEST_F(FieldsInTheView, FormattingCodesAreDrawnNotShown) {
    auto* text = new AcDbMText();
    text->setContents(L"{\\fArial|b1;Bold} \\C1;red\\Pnext {\\H2x;big}");
    appendToModel(*db, text);
    window->refresh();
    const auto texts = shown();
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Bold red\nnext big"), texts.end());
}

}  // namespace
