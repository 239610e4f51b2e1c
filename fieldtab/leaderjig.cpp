#include "fieldtab/leaderjig.h"

#include "frame/errorreport.h"

#include <memory>

namespace {

constexpr const ACHAR* kOperation = L"LeaderJig::doit";

AcDbDatabase* currentDatabase() {
    AcApDocument* document = acDocManager->curDocument();
    return document ? document->database() : nullptr;
}

}  // namespace

LeaderJig::LeaderJig(std::wstring code)
    : fieldCode(std::move(code)), leader(new AcDbLeader()), mtext(new AcDbMText()) {
    leader->setDatabaseDefaults();
    mtext->setDatabaseDefaults();
    resbuf value{};
    if (acedGetVar(L"DIMSCALE", &value) == RTNORM && value.restype == RTREAL) leader->setDimscale(value.resval.rreal);
}

LeaderJig::~LeaderJig() {
    // An appended leader stays open from the append on; it is closed here like the MText.
    if (leaderId.isNull()) delete leader;
    else leader->close();
    if (!mtextId.isNull()) mtext->close();
    else delete mtext;
}

AcEdJig::DragStatus LeaderJig::sampler() {
    setUserInputControls(static_cast<UserInputControls>(kAccept3dCoordinates | kNullResponseAccepted));
    return acquirePoint(currentPoint, basePoint);
}

bool LeaderJig::pickPoints() {
    ads_point picked = {};
    if (acedGetPoint(nullptr, L"\nSpecify start point: ", picked) != RTNORM) return false;
    ads_point world = {};
    acdbUcs2Wcs(picked, world, Adesk::kFalse);
    currentPoint = AcGePoint3d(world[0], world[1], world[2]);
    do {
        acutPrintf(L"\nSpecify next point: ");
        basePoint = currentPoint;
        leader->appendVertex(currentPoint);
    } while (drag() == kNormal);
    // A leader with its start point alone points at nothing: no leader, no text.
    return leader->numVertices() >= 2;
}

void LeaderJig::placeText() {
    const AcGePoint3d first = leader->vertexAt(0);
    const AcGePoint3d last = leader->vertexAt(leader->numVertices() - 1);
    // Text at a leader that runs to the left extends to the left, away from the start.
    const auto attachment = first.x > last.x ? AcDbMText::kMiddleRight : AcDbMText::kMiddleLeft;
    Acad::ErrorStatus es = mtext->setLocation(last);
    if (es == Acad::eOk) es = mtext->setAttachment(attachment);
    if (es == Acad::eOk) es = mtext->setAttachmentMovingLocation(attachment);
    if (es == Acad::eOk) es = mtext->setTextHeight(leader->dimtxt() * leader->dimscale());
    if (es != Acad::eOk) MARVOLT_REPORT(es, L"Failed initialize Field", kOperation);
}

bool LeaderJig::addText() {
    AcDbDatabase* db = currentDatabase();
    AcDbBlockTableRecord* space = nullptr;
    Acad::ErrorStatus es = db ? acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite) : Acad::eNoDatabase;
    if (es == Acad::eOk) {
        es = space->appendAcDbEntity(mtextId, mtext);
        space->close();
    }
    if (es == Acad::eOk) return true;
    mtextId = AcDbObjectId();
    MARVOLT_REPORT(es, L"Failed create Field", kOperation);
    return false;
}

void LeaderJig::attachField(AcDbDatabase* db) {
    constexpr const ACHAR* failed = L"Failed to set Field";
    auto field = std::make_unique<AcDbField>(fieldCode.c_str(), true);
    if (const auto es = field->postInDatabase(db); es != Acad::eOk) {
        MARVOLT_REPORT(es, failed, kOperation);
        return;
    }
    AcDbField* posted = field.release();
    AcDbObjectId attached;
    if (const auto es = mtext->setField(L"TEXT", posted, attached); es != Acad::eOk) {
        MARVOLT_REPORT(es, failed, kOperation);
        // Unattached, the field would stay in the drawing with no owner.
        posted->erase();
        posted->close();
        return;
    }
    posted->evaluate(0, db);
    if (const auto es = posted->close(); es != Acad::eOk) MARVOLT_REPORT(es, failed, kOperation);
}

bool LeaderJig::addLeader() {
    leaderId = append();
    if (leaderId.isNull()) return false;
    AcDbLeader* placed = nullptr;
    if (acdbOpenObject(placed, leaderId, AcDb::kForWrite) != Acad::eOk) return true;
    if (placed->attachAnnotation(mtextId) == Acad::eOk) placed->evaluateLeader();
    placed->close();
    return true;
}

int LeaderJig::doit() {
    if (!pickPoints()) return RTERROR;
    if (spline) leader->setToSplineLeader();
    placeText();
    if (!addText()) return RTERROR;
    attachField(currentDatabase());
    return addLeader() ? RTNORM : RTERROR;
}
