#include "entry/moduleobject.h"

#include <new>

namespace {
CDrxModule* g_module = nullptr;
}  // namespace

CDrxModule* CDrxModule::existing() { return g_module; }

CDrxModule* CDrxModule::instance(HINSTANCE& library) {
    if (g_module) return g_module;
    void* memory = odrxAlloc(sizeof(CDrxModule));
    if (!memory) throw std::bad_alloc();
    // The runtime's allocator gives the memory; deleteModule hands it back.
    g_module = new (memory) CDrxModule(library);
    library = nullptr;
    return g_module;
}

void CDrxModule::deleteModule() {
    g_module = nullptr;
    this->~CDrxModule();
    odrxFree(this);
}

void CDrxModule::onInitModule() { onLoadArxApp(moduleName().c_str()); }

void CDrxModule::onUninitModule() { onUnloadArxApp(moduleName().c_str()); }

std::wstring CDrxModule::moduleName() const {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(m_library, path, MAX_PATH);
    return std::wstring(path, n == MAX_PATH ? MAX_PATH - 1 : n);
}
