#include "blocks/entviewdialog.h"

#include "blocks/iconcapture.h"
#include "frame/commandlineprinter.h"
#include "frame/moduleresources.h"

#include <memory>

namespace {

// Closes a record on every path out of the function that opened it.
template <class T>
struct Closing {
    T* object = nullptr;
    ~Closing() {
        if (object) object->close();
    }
};

}  // namespace

CEntViewDialog::CEntViewDialog(CWnd* parent) : CAcUiDialog(res::IDD_ENT_VIEW, parent) {}

BOOL CEntViewDialog::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    preview.SubclassDlgItem(res::IDC_ENT_VIEW_PREVIEW, this);
    ready = hasNamedBlock();
    if (setupPreviewView() != Acad::eOk) ready = false;
    SetTimer(kTimerId, kTimerMs, nullptr);
    return TRUE;
}

bool CEntViewDialog::hasNamedBlock() const {
    if (!database) return false;
    Closing<AcDbBlockTable> table;
    if (database->getSymbolTable(table.object, AcDb::kForRead) != Acad::eOk) return false;
    return table.object->has(blockName.c_str());
}

Acad::ErrorStatus CEntViewDialog::setupPreviewView() {
    if (!database) return Acad::eInvalidInput;
    Closing<AcDbBlockTable> table;
    if (const auto es = database->getSymbolTable(table.object, AcDb::kForRead); es != Acad::eOk) return es;
    Closing<AcDbBlockTableRecord> record;
    if (const auto es = table.object->getAt(blockName.c_str(), record.object, AcDb::kForRead); es != Acad::eOk) return es;
    blockId = record.object->objectId();
    preview.setupGraphics();
    auto reference = std::make_unique<AcDbBlockReference>(AcGePoint3d::kOrigin, blockId);
    const AcDbBlockReference* shown = reference.get();
    if (!preview.addTemporary(std::move(reference))) shown = nullptr;
    return fitViewToExtents(preview.view(), shown);
}

void CEntViewDialog::OnTimer(UINT_PTR) {
    KillTimer(kTimerId);
    if (!ready) {
        EndDialog(IDCANCEL);
        return;
    }
    storeIcon();
    EndDialog(IDOK);
}

void CEntViewDialog::storeIcon() {
    std::vector<std::uint8_t> bytes;
    if (!captureIcon(preview, bytes) || bytes.empty()) {
        printToCommandLine(L"\nfailed to create PreviewIcon: ");
        return;
    }
    Closing<AcDbBlockTableRecord> record;
    if (acdbOpenObject(record.object, blockId, AcDb::kForWrite) != Acad::eOk) return;
    AcArray<Adesk::UInt8> icon;
    icon.vector() = std::move(bytes);
    record.object->setPreviewIcon(icon);
}

LRESULT CEntViewDialog::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }
