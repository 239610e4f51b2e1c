#include "rx/dynamiclinker.h"

#include "rx/dictionary.h"

#include <algorithm>

ACRX_DEFINE_MEMBERS(AcRxDynamicLinker, AcRxObject, "")

bool AcRxDynamicLinker::unlockApplication(void* appId) {
    if (!appId) return false;
    m_unlocked.insert(appId);
    return true;
}

bool AcRxDynamicLinker::lockApplication(void* appId) { return m_unlocked.erase(appId) > 0; }

bool AcRxDynamicLinker::isApplicationLocked(void* appId) const { return !m_unlocked.contains(appId); }

bool AcRxDynamicLinker::registerAppMDIAware(void* appId) {
    if (!appId) return false;
    m_mdiAware.insert(appId);
    return true;
}

bool AcRxDynamicLinker::isAppMDIAware(void* appId) const { return m_mdiAware.contains(appId); }

void AcRxDynamicLinker::noteLoaded(const std::wstring& path) {
    if (std::find(m_loaded.begin(), m_loaded.end(), path) == m_loaded.end()) m_loaded.push_back(path);
}

void AcRxDynamicLinker::noteUnloaded(const std::wstring& path) { std::erase(m_loaded, path); }

void AcRxDynamicLinker::forget(void* appId) {
    m_unlocked.erase(appId);
    m_mdiAware.erase(appId);
}

namespace {
AcRxDynamicLinker* linker() { return AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)); }
}  // namespace

bool onLoadArxApp(const ACHAR* modulePath) {
    if (!modulePath || !*modulePath) return false;
    linker()->noteLoaded(modulePath);
    return true;
}

bool onUnloadArxApp(const ACHAR* modulePath) {
    if (!modulePath) return false;
    linker()->noteUnloaded(modulePath);
    return true;
}
