#include "rx/moduleloader.h"

#include "rx/utf8.h"
#include "rx/dictionary.h"
#include "rx/dynamiclinker.h"

#include <dlfcn.h>

#include <exception>

namespace hostrx {

namespace {

std::wstring dlMessage(const char* what) {
    const char* err = dlerror();
    return hostrx::utf8ToWide(std::string(what) + (err ? std::string(": ") + err : std::string()));
}

template <class F>
bool guarded(F&& call, std::wstring& message, const char* step) {
    try {
        call();
        return true;
    } catch (const std::exception& e) {
        message = hostrx::utf8ToWide(std::string("the module failed while ") + step + ": " + e.what());
    } catch (...) {
        message = hostrx::utf8ToWide(std::string("the module failed while ") + step);
    }
    return false;
}

}  // namespace

ModuleLoader::~ModuleLoader() {
    std::wstring ignored;
    unload(ignored);
}

bool ModuleLoader::load(const std::string& path, std::wstring& message) {
    if (m_library) {
        message = L"a module is already loaded";
        return false;
    }
    m_library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_library) {
        message = dlMessage("cannot load the module");
        return false;
    }
    auto create = reinterpret_cast<CreateModule>(dlsym(m_library, "odrxCreateModuleObject"));
    m_entry = reinterpret_cast<EntryPoint>(dlsym(m_library, "acrxEntryPoint"));
    if (!create || !m_entry) {
        message = L"the library is not a module: it lacks odrxCreateModuleObject or acrxEntryPoint";
        closeLibrary();
        return false;
    }
    void* handle = m_library;
    const bool ok = guarded([&] { m_module = create(handle); }, message, "creating its module object") &&
                    m_module && guarded([&] { m_module->onInitModule(); }, message, "loading");
    if (!ok) {
        if (message.empty()) message = L"the module gave no module object";
        closeLibrary();
        return false;
    }
    if (send(AcRx::kInitAppMsg) != AcRx::kRetOK) {
        message = L"the module refused to initialise";
        std::wstring ignored;
        unload(ignored);
        return false;
    }
    send(AcRx::kLoadDwgMsg);
    m_lastPath = path;
    return true;
}

AcRx::AppRetCode ModuleLoader::send(AcRx::AppMsgCode msg) {
    if (!m_entry) return AcRx::kRetError;
    AcRx::AppRetCode rc = AcRx::kRetError;
    std::wstring ignored;
    guarded([&] { rc = m_entry(msg, m_library); }, ignored, "handling a message");
    return rc;
}

bool ModuleLoader::unload(std::wstring& message) {
    if (!m_library) {
        message = L"no module is loaded";
        return false;
    }
    send(AcRx::kUnloadDwgMsg);
    send(AcRx::kUnloadAppMsg);
    bool ok = true;
    if (m_module) {
        ok = guarded([&] { m_module->onUninitModule(); }, message, "unloading") &&
             guarded([&] { m_module->deleteModule(); }, message, "deleting its module object");
        m_module = nullptr;
    }
    closeLibrary();
    return ok;
}

void ModuleLoader::closeLibrary() {
    if (auto* linker = AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)))
        linker->forget(m_library);
    if (m_library) dlclose(m_library);
    m_library = nullptr;
    m_entry = nullptr;
    m_module = nullptr;
}

}  // namespace hostrx
