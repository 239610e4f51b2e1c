#pragma once

#include "rxobject.h"

#include <set>
#include <string>
#include <vector>

#define ACRX_DYNAMIC_LINKER L"DynamicLinker"

// Keeps what the host knows of the loaded applications: which may be unloaded while
// the host runs and which can work with several documents open.
class AcRxDynamicLinker : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxDynamicLinker)
    AcRxDynamicLinker() = default;

    bool unlockApplication(void* appId);
    bool lockApplication(void* appId);
    bool isApplicationLocked(void* appId) const;
    bool registerAppMDIAware(void* appId);
    bool isAppMDIAware(void* appId) const;

    // The full paths of the modules that reported themselves loaded, in load order.
    const std::vector<std::wstring>& loadedApps() const { return m_loaded; }
    void noteLoaded(const std::wstring& path);
    void noteUnloaded(const std::wstring& path);
    // Forgets the flags of an application handle once its module is gone.
    void forget(void* appId);

private:
    std::set<void*> m_unlocked;
    std::set<void*> m_mdiAware;
    std::vector<std::wstring> m_loaded;
};

// The host side of a module's load and unload: each records the module by its path.
bool onLoadArxApp(const ACHAR* modulePath);
bool onUnloadArxApp(const ACHAR* modulePath);
