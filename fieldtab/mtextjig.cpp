#include "fieldtab/mtextjig.h"

#include "frame/errorreport.h"

#include <memory>

namespace {

constexpr const ACHAR* kOperation = L"MTextJig::doIt";
constexpr const ACHAR* kSetFailed = L"Failed to set Field";

// A field posted in the drawing but owned by no entity would be saved with it and
// never shown; it is taken out again.
void eraseField(AcDbObjectId fieldId) {
    AcDbObject* field = nullptr;
    if (fieldId.isNull() || acdbOpenAcDbObject(field, fieldId, AcDb::kForWrite) != Acad::eOk) return;
    field->erase();
    field->close();
}

}  // namespace

MTextJig::MTextJig(std::wstring code) : MoveJig(new AcDbMText()), fieldCode(std::move(code)) {}

AcEdJig::DragStatus MTextJig::sampler() {
    setUserInputControls(kAccept3dCoordinates);
    if (acquirePoint(currentPoint) != kNormal) return kCancel;
    return currentPoint == lastPoint ? kNoChange : kNormal;
}

AcDbObjectId MTextJig::attachField(AcDbDatabase* db) {
    auto field = std::make_unique<AcDbField>(fieldCode.c_str(), true);
    if (const auto es = field->postInDatabase(db); es != Acad::eOk) {
        MARVOLT_REPORT(es, kSetFailed, kOperation);
        return {};
    }
    // The database holds the posted field from here on.
    AcDbField* posted = field.release();
    const AcDbObjectId fieldId = posted->objectId();
    AcDbObjectId attached;
    if (const auto es = mtext()->setField(L"TEXT", posted, attached); es != Acad::eOk) {
        MARVOLT_REPORT(es, kSetFailed, kOperation);
        posted->erase();
        posted->close();
        return {};
    }
    posted->evaluate(0, db);
    if (const auto es = posted->close(); es != Acad::eOk) MARVOLT_REPORT(es, kSetFailed, kOperation);
    return fieldId;
}

void MTextJig::doIt() {
    AcApDocument* document = acDocManager->curDocument();
    AcDbDatabase* db = document ? document->database() : nullptr;
    if (!db || !mtext()) return;
    mtext()->setContents(fieldCode.c_str());
    mtext()->setTextHeight(db->textsize());
    mtext()->setDatabaseDefaults(db);
    setDispPrompt(L"\nSelect Point");
    const AcDbObjectId fieldId = attachField(db);
    if (drag() == kNormal) referenceId = append();
    if (referenceId.isNull()) eraseField(fieldId);
}
