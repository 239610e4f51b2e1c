#include "entry/marvoltapp.h"

#include "entry/commandtable.h"
#include "entry/menuinstaller.h"
#include "frame/moduleresources.h"
#include "palette/palettecommands.h"

namespace {
AcEdCommandStack* commandStack() { return AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)); }
}  // namespace

CMarvoltApp& theMarvoltApp() {
    static CMarvoltApp app;
    return app;
}

AcRx::AppRetCode CMarvoltApp::On_kInitAppMsg(void* appId) {
    registerWithDynamicLinker(appId);
    registerCommands();
    installMarvoltMenu();
    return AcRx::kRetOK;
}

AcRx::AppRetCode CMarvoltApp::On_kUnloadAppMsg(void*) {
    removeCommands();
    destroyPalette();
    return AcRx::kRetOK;
}

// The module defines no functions for the drawing's interpreter: nothing to define or undefine.
AcRx::AppRetCode CMarvoltApp::On_kLoadDwgMsg(void*) { return AcRx::kRetOK; }
AcRx::AppRetCode CMarvoltApp::On_kUnloadDwgMsg(void*) { return AcRx::kRetOK; }

AcRx::AppRetCode CMarvoltApp::On_kInvkSubrMsg(void*) {
    // No function of the module can match the code, so nothing runs.
    acedGetFunCode();
    return AcRx::kRetOK;
}

void CMarvoltApp::registerWithDynamicLinker(void* appId) const {
    auto* linker = AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER));
    if (!linker) return;
    if (m_unlocked) linker->unlockApplication(appId);
    if (m_mdiAware) linker->registerAppMDIAware(appId);
}

void CMarvoltApp::registerCommands() const {
    for (const CommandEntry& c : commandTable()) {
        // A name the host refuses (already taken) is skipped; the others still register.
        if (AcEdCommandStack* stack = commandStack())
            stack->addCommand(c.group, c.globalName, c.localName, c.flags, c.handler, c.uiContext, -1, moduleLibrary(),
                              nullptr);
    }
}

void CMarvoltApp::removeCommands() const {
    for (const CommandEntry& c : commandTable())
        if (AcEdCommandStack* stack = commandStack()) stack->removeCmd(c.group, c.globalName);
}
