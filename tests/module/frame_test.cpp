#include "frame/commandlineprinter.h"
#include "entry/commandtable.h"
#include "entry/moduleobject.h"

#include "ap/menumodel.h"

#include <gtest/gtest.h>

#include <string>

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId);
extern "C" int acrxGetApiVersion(int&, int&, int&, int&);
extern "C" int odrxGetAPIVersion(int&, int&, int&, int&);
extern "C" OdRxModule* odrxCreateModuleObject(HINSTANCE& library);

namespace {

AcEdCommandStack& stack() { return *AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)); }
AcRxDynamicLinker& linker() { return *AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)); }

int appToken = 0;
void* const kAppId = &appToken;

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        hosted::CommandLine::instance().clear();
        hostap::MenuModel::instance().reset();
    }
    void TearDown() override {
        acrxEntryPoint(AcRx::kUnloadAppMsg, kAppId);
        stack().removeGroup(L"OTHER");
        linker().forget(kAppId);
    }
};

TEST_F(Lifecycle, InitRegistersAllElevenCommandsByLocalAndGlobalName) {
    ASSERT_EQ(acrxEntryPoint(AcRx::kInitAppMsg, kAppId), AcRx::kRetOK);
    const auto registered = stack().commandsOfGroup(L"Marvolt");
    ASSERT_EQ(registered.size(), 11u);
    for (std::size_t i = 0; i < registered.size(); ++i) {
        const CommandEntry& entry = commandTable()[i];
        EXPECT_STREQ(registered[i]->localName(), entry.localName) << "registration follows the table";
        EXPECT_EQ(std::wstring(registered[i]->globalName()), std::wstring(L"_") + entry.localName);
        EXPECT_EQ(stack().lookupCmd(entry.localName), registered[i]);
        EXPECT_EQ(stack().lookupCmd(entry.globalName), registered[i]);
    }
    EXPECT_EQ(stack().lookupCmd(L"_FLIPX")->functionAddr(), stack().lookupCmd(L"flipx")->functionAddr());
    EXPECT_EQ(stack().lookupCmd(L"marvolt")->commandFlags(), ACRX_CMD_SESSION);
    EXPECT_EQ(stack().lookupCmd(L"texttoclayer")->commandFlags(), ACRX_CMD_TRANSPARENT);
    EXPECT_FALSE(linker().isApplicationLocked(kAppId));
    EXPECT_TRUE(linker().isAppMDIAware(kAppId));
}

// The menu comes after the commands and outlives the module: a second initialisation
// in the same run finds it.
TEST_F(Lifecycle, InitInstallsTheMenuWhichUnloadLeavesInTheMenuBar) {
    hostap::MenuModel& menus = hostap::MenuModel::instance();
    acrxEntryPoint(AcRx::kInitAppMsg, kAppId);
    acrxEntryPoint(AcRx::kUnloadAppMsg, kAppId);
    ASSERT_EQ(menus.menuBar().size(), 1u);
    EXPECT_EQ(menus.menuBar()[0]->name(), L"Marvolt");
    acrxEntryPoint(AcRx::kInitAppMsg, kAppId);
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), L"\nFailed load menu: ");
    EXPECT_EQ(stack().commandsOfGroup(L"Marvolt").size(), 11u);
    EXPECT_EQ(menus.menuBar().size(), 1u);
    EXPECT_EQ(menus.references(), 0);
}

TEST_F(Lifecycle, UnloadRemovesEveryCommandWithoutAPalette) {
    acrxEntryPoint(AcRx::kInitAppMsg, kAppId);
    EXPECT_EQ(acrxEntryPoint(AcRx::kUnloadAppMsg, kAppId), AcRx::kRetOK);
    EXPECT_TRUE(stack().commandsOfGroup(L"Marvolt").empty());
    for (const CommandEntry& entry : commandTable()) EXPECT_EQ(stack().lookupCmd(entry.globalName), nullptr);
}

TEST_F(Lifecycle, ANameTakenByTheHostLeavesTheOtherTenRegisteredSilently) {
    auto hostBurst = [] {};
    ASSERT_EQ(stack().addCommand(L"OTHER", L"zelBurst", L"zelBurst", 0, hostBurst), Acad::eOk);
    acrxEntryPoint(AcRx::kInitAppMsg, kAppId);
    EXPECT_EQ(stack().commandsOfGroup(L"Marvolt").size(), 10u);
    EXPECT_EQ(stack().lookupCmd(L"zelBurst")->groupName(), L"OTHER");
    EXPECT_NE(stack().lookupCmd(L"zelncopy"), nullptr);
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), L"");
}

TEST_F(Lifecycle, MessagesTheModuleDoesNotHandleAnswerOkAndChangeNothing) {
    for (int msg : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 999}) {
        EXPECT_EQ(acrxEntryPoint(static_cast<AcRx::AppMsgCode>(msg), kAppId), AcRx::kRetOK) << msg;
        EXPECT_TRUE(stack().commandsOfGroup(L"Marvolt").empty()) << msg;
    }
    EXPECT_TRUE(linker().isApplicationLocked(kAppId));
}

TEST(Exports, BothVersionFunctionsGiveNineteenFive) {
    int v[2][4] = {{-1, -1, -1, -1}, {-1, -1, -1, -1}};
    EXPECT_EQ(acrxGetApiVersion(v[0][0], v[0][1], v[0][2], v[0][3]), 0);
    EXPECT_EQ(odrxGetAPIVersion(v[1][0], v[1][1], v[1][2], v[1][3]), 0);
    for (const auto& version : v) {
        EXPECT_EQ(version[0], 19);
        EXPECT_EQ(version[1], 5);
        EXPECT_EQ(version[2], 0);
        EXPECT_EQ(version[3], 0);
    }
}

TEST(ModuleObject, OneInstanceCountedButNeverDeletedByRelease) {
    int libraryToken = 0, otherToken = 0;
    HINSTANCE first = &libraryToken;
    OdRxModule* module = odrxCreateModuleObject(first);
    EXPECT_EQ(first, nullptr) << "the caller's handle is cleared";
    EXPECT_EQ(module->sysData(), &libraryToken);
    HINSTANCE second = &otherToken;
    EXPECT_EQ(odrxCreateModuleObject(second), module);
    EXPECT_EQ(second, &otherToken) << "a second call touches nothing";

    module->addRef();
    module->addRef();
    EXPECT_EQ(module->numRefs(), 2);
    module->release();
    module->release();
    EXPECT_EQ(module->numRefs(), 0);
    EXPECT_EQ(CDrxModule::existing(), module);

    module->deleteModule();
    EXPECT_EQ(CDrxModule::existing(), nullptr);
    HINSTANCE third = &otherToken;
    OdRxModule* fresh = odrxCreateModuleObject(third);
    EXPECT_EQ(fresh->sysData(), &otherToken);
    fresh->deleteModule();
}

TEST(PrintToCommandLine, ErrorReportLineUsesHostFormats) {
    hosted::CommandLine::instance().clear();
    printToCommandLine(L"\n[%s], %s\n%s, %ld ", L"eKeyNotFound", L"Failed to open drawing",
                       L"BlockWorker::getBlockInfoFromdDb", 120L);
    EXPECT_EQ(hosted::CommandLine::instance().transcript(),
              L"\n[eKeyNotFound], Failed to open drawing\nBlockWorker::getBlockInfoFromdDb, 120 ");
}

}  // namespace
