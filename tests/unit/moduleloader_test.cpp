#include "ap/resources.h"
#include "rx/commandstack.h"
#include "rx/dictionary.h"
#include "rx/dynamiclinker.h"
#include "rx/moduleloader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

AcEdCommandStack& stack() { return *AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)); }
AcRxDynamicLinker& linker() { return *AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)); }

TEST(ModuleLoader, DrivesTheWholeLoadAndUnloadProtocol) {
    hostrx::ModuleLoader loader;
    const int uiInitsBefore = acUiInitCount();
    std::wstring message;
    ASSERT_TRUE(loader.load(MARVOLT_MODULE_PATH, message)) << std::string(message.begin(), message.end());

    const std::wstring name = loader.moduleObject()->moduleName();
    EXPECT_TRUE(name.ends_with(L"/marvolt.so"));
    ASSERT_EQ(linker().loadedApps().size(), 1u);
    EXPECT_EQ(linker().loadedApps()[0], name) << "the module object reported its load by its full path";
    void* handle = loader.moduleObject()->sysData();
    EXPECT_FALSE(linker().isApplicationLocked(handle));
    EXPECT_TRUE(linker().isAppMDIAware(handle));
    EXPECT_TRUE(acIsResourceModule(handle));
    EXPECT_EQ(acUiInitCount(), uiInitsBefore + 1);
    EXPECT_EQ(stack().commandsOfGroup(L"Marvolt").size(), 11u);
    EXPECT_NE(stack().lookupCmd(L"_inserttoclayer"), nullptr);

    ASSERT_TRUE(loader.unload(message));
    EXPECT_TRUE(stack().commandsOfGroup(L"Marvolt").empty());
    EXPECT_TRUE(linker().loadedApps().empty());
    EXPECT_FALSE(loader.isLoaded());
}

TEST(ModuleLoader, RefusesWhatIsNotAModule) {
    hostrx::ModuleLoader loader;
    std::wstring message;
    EXPECT_FALSE(loader.load("/nonexistent/marvolt.so", message));
    EXPECT_TRUE(message.starts_with(L"cannot load the module")) << std::string(message.begin(), message.end());
    EXPECT_FALSE(loader.load(HOSTCORE_LIBRARY_PATH, message));
    EXPECT_EQ(message, L"the library is not a module: it lacks odrxCreateModuleObject or acrxEntryPoint");
    EXPECT_FALSE(loader.isLoaded());
}

}  // namespace
