#include "fieldtab/fieldinsertion.h"

#include "fieldtab/leaderjig.h"
#include "fieldtab/mtextjig.h"
#include "frame/documentlock.h"

namespace {

constexpr const ACHAR* kCodeEnd = L">%";

void refuseKey(CWnd* parent, const std::wstring& key) {
    const std::wstring text = L"\"" + key + L"\" cannot be placed as a field: a field code ends at \">%\", "
                              L"and the key contains it.\nRename the key to place it.";
    MessageBoxW(parent ? parent->GetSafeHwnd() : nullptr, text.c_str(), L"Field Manager", MB_OK);
}

// Whether anything was added to the drawing.
bool runPlacement(const std::wstring& code, int insertMode) {
    switch (insertMode) {
        case 0: {
            MTextJig jig(code);
            jig.doIt();
            return !jig.referenceId.isNull();
        }
        case 1:
        case 2: {
            LeaderJig jig(code);
            jig.spline = insertMode == 2;
            jig.doit();
            return !jig.mtextId.isNull();
        }
        default: return false;
    }
}

}  // namespace

std::wstring fieldCodeFor(const std::wstring& key) { return L"%<\\AcVar CustomDP." + key + kCodeEnd; }

bool isFieldKey(const std::wstring& key) { return key.find(kCodeEnd) == std::wstring::npos; }

void placeField(CWnd* parent, const std::wstring& key, int insertMode) {
    if (!isFieldKey(key)) {
        refuseKey(parent, key);
        return;
    }
    const std::wstring code = fieldCodeFor(key);
    AcApDocument* document = acDocManager->curDocument();
    if (!document) return;
    {
        // A command waiting for input keeps the document; nothing is started inside its prompt.
        const DocumentLock lock(document, L"Field placement");
        if (!lock.locked()) return;
        if (CWnd* view = acedGetAcadDwgView()) view->SetFocus();
        runPlacement(code, insertMode);
    }
    acedUpdateDisplay();
}
