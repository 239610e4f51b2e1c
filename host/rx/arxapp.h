#pragma once

#include "appmsg.h"

// The base of a module's application object: one overridable handler per lifecycle
// message, each answering kRetOK unless overridden. entryPoint dispatches a message
// to its handler; a module's acrxEntryPoint forwards to it.
class AcRxDbxApp {
public:
    // Defined in the host, with its virtual table.
    virtual ~AcRxDbxApp();

    AcRx::AppRetCode entryPoint(AcRx::AppMsgCode msg, void* appId);

    virtual AcRx::AppRetCode On_kInitAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kLoadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInvkSubrMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kOtherMsg(AcRx::AppMsgCode, void*) { return AcRx::kRetOK; }

protected:
    AcRxDbxApp() = default;
    AcRxDbxApp(const AcRxDbxApp&) = default;
    AcRxDbxApp& operator=(const AcRxDbxApp&) = default;
};

// The application base of modules that use the editor.
class AcRxArxApp : public AcRxDbxApp {
public:
    ~AcRxArxApp() override;

protected:
    AcRxArxApp() = default;
};

inline AcRx::AppRetCode AcRxDbxApp::entryPoint(AcRx::AppMsgCode msg, void* appId) {
    switch (msg) {
        case AcRx::kInitAppMsg: return On_kInitAppMsg(appId);
        case AcRx::kUnloadAppMsg: return On_kUnloadAppMsg(appId);
        case AcRx::kLoadDwgMsg: return On_kLoadDwgMsg(appId);
        case AcRx::kUnloadDwgMsg: return On_kUnloadDwgMsg(appId);
        case AcRx::kInvkSubrMsg: return On_kInvkSubrMsg(appId);
        default: return On_kOtherMsg(msg, appId);
    }
}
