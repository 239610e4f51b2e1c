#include "app/documentfiles.h"

#include "ap/docmanager.h"

namespace hostapp {

ExitStatus openDrawing(const std::wstring& path, std::wstring& message) {
    AcApDocument* doc = nullptr;
    std::wstring why;
    const Acad::ErrorStatus es = acDocManager->openDocument(path, doc, why);
    if (es == Acad::eOk) return ExitStatus::done;
    message = L"cannot open " + path + L": " + (why.empty() ? std::wstring(acadErrorStatusText(es)) : why);
    return ExitStatus::fileFailed;
}

ExitStatus saveDocument(AcApDocument& doc, const std::wstring& path, std::wstring& message) {
    const std::wstring target = path.empty() ? std::wstring(doc.fileName()) : path;
    if (target.empty()) {
        message = L"nothing to save, or no file name to save under";
        return ExitStatus::fileFailed;
    }
    if (const Acad::ErrorStatus es = doc.database()->saveAs(target.c_str()); es != Acad::eOk) {
        message = es == Acad::eRecoveredFromFile
                      ? target + L" is the damaged file this drawing was recovered from: save it under a new name"
                      : L"cannot save " + target + L" [" + acadErrorStatusText(es) + L"]";
        return ExitStatus::fileFailed;
    }
    doc.setFileName(target);
    doc.setModified(false);
    return ExitStatus::done;
}

ExitStatus saveDrawing(const std::wstring& path, std::wstring& message) {
    if (AcApDocument* doc = curDoc()) return saveDocument(*doc, path, message);
    message = L"nothing to save, or no file name to save under";
    return ExitStatus::fileFailed;
}

}  // namespace hostapp
