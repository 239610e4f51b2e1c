// The module's exported entry points and its attach and detach code.

#include "entry/marvoltapp.h"
#include "entry/moduleobject.h"
#include "frame/moduleresources.h"

#include <dlfcn.h>

#define MARVOLT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool g_resourcesRegistered = false;

// The library's own handle, found from an address inside it. The handle stays valid
// while the library is loaded, so the extra reference is given back at once.
HINSTANCE ownLibraryHandle() {
    static const char anchor = 0;
    Dl_info info{};
    if (!dladdr(&anchor, &info) || !info.dli_fname) return nullptr;
    HINSTANCE handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle;
}

__attribute__((constructor)) void onLibraryAttach() {
    const HINSTANCE library = ownLibraryHandle();
    setModuleLibrary(library);
    if (!g_resourcesRegistered) g_resourcesRegistered = acRegisterResourceModule(library, &moduleResources());
    InitAcUiDLL();
}

__attribute__((destructor)) void onLibraryDetach() {
    if (g_resourcesRegistered) acUnregisterResourceModule(moduleLibrary());
    g_resourcesRegistered = false;
}

}  // namespace

MARVOLT_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* appId) {
    try {
        return theMarvoltApp().entryPoint(msg, appId);
    } catch (...) {
        return AcRx::kRetError;
    }
}

MARVOLT_EXPORT int acrxGetApiVersion(int& major, int& minor, int& majorBuild, int& minorBuild) {
    major = 19;
    minor = 5;
    majorBuild = 0;
    minorBuild = 0;
    return 0;
}

MARVOLT_EXPORT int odrxGetAPIVersion(int& major, int& minor, int& majorBuild, int& minorBuild) {
    return acrxGetApiVersion(major, minor, majorBuild, minorBuild);
}

MARVOLT_EXPORT OdRxModule* odrxCreateModuleObject(HINSTANCE& library) { return CDrxModule::instance(library); }
