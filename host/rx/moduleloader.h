#pragma once

#include "appmsg.h"
#include "rxmodule.h"

#include <string>

namespace hostrx {

// One module library loaded into the host. load() drives the whole protocol: the
// library is opened (the module's attach code runs), its module object is created and
// loaded, and its entry point receives kInitAppMsg and kLoadDwgMsg; unload() sends
// kUnloadDwgMsg and kUnloadAppMsg, unloads and deletes the module object and closes the
// library. Nothing the module throws passes out of these calls.
class ModuleLoader {
public:
    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    bool load(const std::string& path, std::wstring& message);
    bool unload(std::wstring& message);
    bool isLoaded() const { return m_library != nullptr; }
    // The path of the module last loaded, kept after it is unloaded; empty before.
    const std::string& lastPath() const { return m_lastPath; }
    // Sends a message to the loaded module's entry point; kRetError when none is loaded.
    AcRx::AppRetCode send(AcRx::AppMsgCode msg);
    OdRxModule* moduleObject() const { return m_module; }

private:
    using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);
    using CreateModule = OdRxModule* (*)(void*&);

    void closeLibrary();

    std::string m_lastPath;
    void* m_library = nullptr;
    OdRxModule* m_module = nullptr;
    EntryPoint m_entry = nullptr;
};

}  // namespace hostrx
