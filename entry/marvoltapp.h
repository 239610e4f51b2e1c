#pragma once

#include "frame/hostapi.h"

// The module's application object: answers the host's lifecycle messages. Registration
// and removal walk the command table in its order.
class CMarvoltApp : public AcRxArxApp {
public:
    CMarvoltApp() = default;

    AcRx::AppRetCode On_kInitAppMsg(void* appId) override;
    AcRx::AppRetCode On_kUnloadAppMsg(void* appId) override;
    AcRx::AppRetCode On_kLoadDwgMsg(void* appId) override;
    AcRx::AppRetCode On_kUnloadDwgMsg(void* appId) override;
    AcRx::AppRetCode On_kInvkSubrMsg(void* appId) override;

private:
    void registerWithDynamicLinker(void* appId) const;
    void registerCommands() const;
    void removeCommands() const;

    bool m_unlocked = true;
    bool m_mdiAware = true;
};

// The one application object of the module.
CMarvoltApp& theMarvoltApp();
