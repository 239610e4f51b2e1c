#include "commands/attributetext.h"
#include "commands/commands.h"
#include "commands/openobject.h"
#include "frame/hostapi.h"

#include <memory>

namespace {

// State of one run, shared by the move step and the drag sampler: first the pick point
// of the nested selection, then the base point of the move; and the temporary line
// that shows the drag as a rubber band.
ads_point nestedBasePoint = {0.0, 0.0, 0.0};
AcDbObjectId rubberBandLineId;

AcGePoint3d asPoint(const ads_point p) { return {p[0], p[1], p[2]}; }

void reportEndOfInput(int rc) {
    if (rc == RTCAN) acutPrintf(L"\nCancel");
    else if (rc == RTERROR) acutPrintf(L"\nError");
}

void reportFailure(Acad::ErrorStatus es) { acutPrintf(L"\nError %s", acadErrorStatusText(es)); }

// The reference stack of a nested pick, released on every path.
struct ReferenceStack {
    resbuf* list = nullptr;
    ~ReferenceStack() { acutRelRb(list); }
};

// A selection set made here, freed on every path.
struct OwnSelection {
    ads_name set = {0, 0};
    bool made = false;
    ~OwnSelection() {
        if (made) acedSSFree(set);
    }
};

std::unique_ptr<AcDbEntity> cloneOf(AcDbObjectId id) {
    OpenObject<AcDbEntity> picked;
    if (picked.open(id, AcDb::kForRead) != Acad::eOk) return nullptr;
    std::unique_ptr<AcRxObject> copy(picked->clone());
    if (!AcDbEntity::cast(copy.get())) return nullptr;
    return std::unique_ptr<AcDbEntity>(static_cast<AcDbEntity*>(copy.release()));
}

// An attribute is copied as a text showing what it shows; a multiline one as an MText
// with every line.
std::unique_ptr<AcDbEntity> asDrawnEntity(std::unique_ptr<AcDbEntity> copy) {
    if (!copy->isKindOf(AcDbAttribute::desc())) return copy;
    const auto& attribute = static_cast<const AcDbAttribute&>(*copy);
    if (std::unique_ptr<AcDbMText> lines = mtextShowing(attribute)) return lines;
    std::unique_ptr<AcDbText> text = textShowing(attribute);
    text->setAlignmentPoint(attribute.alignmentPoint());
    return text;
}

// A copy cannot follow an unevenly scaled reference: the reference's turn is kept and
// the copy is scaled evenly by the reference's Z scale.
void scaleEvenlyByZ(AcGeMatrix3d& m) {
    const double zScale = AcGeVector3d(m(0, 2), m(1, 2), m(2, 2)).length();
    for (unsigned c = 0; c < 2; ++c) {
        const AcGeVector3d axis(m(0, c), m(1, c), m(2, c));
        const double length = axis.length();
        if (length == 0.0) continue;
        for (unsigned r = 0; r < 3; ++r) m(r, c) *= zScale / length;
    }
}

// Carries the copy through one reference of the stack.
void applyReference(AcDbEntity& copy, const resbuf& entry) {
    const ads_name name = {entry.resval.rlname[0], entry.resval.rlname[1]};
    AcDbObjectId refId;
    if (const auto es = acdbGetObjectId(refId, name); es != Acad::eOk) return reportFailure(es);
    OpenObject<AcDbBlockReference> ref;
    if (const auto es = ref.open(refId, AcDb::kForRead); es != Acad::eOk) return reportFailure(es);
    AcGeMatrix3d m = ref->blockTransform();
    if (!m.isUniScaledOrtho()) {
        acutPrintf(L"\nWarning is not Scaled Uniformly : ");
        scaleEvenlyByZ(m);
    }
    if (const auto es = copy.transformBy(m); es != Acad::eOk) acutPrintf(L"\n[%s]", acadErrorStatusText(es));
}

// Appends a new entity to the current space; a null id when it could not be appended
// (the entity is then deleted).
AcDbObjectId appendToCurrentSpace(std::unique_ptr<AcDbEntity> entity) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbObjectId id;
    OpenObject<AcDbBlockTableRecord> space;
    if (!db || space.open(db->currentSpaceId(), AcDb::kForWrite) != Acad::eOk) return id;
    if (space->appendAcDbEntity(id, entity.get()) == Acad::eOk) entity.release()->close();
    return id;
}

// The copy is open for read during the prompts; it is written only at the end.
bool openForChange(OpenObject<AcDbEntity>& copy) {
    const Acad::ErrorStatus es = copy->upgradeOpen();
    if (es != Acad::eOk) reportFailure(es);
    return es == Acad::eOk;
}

void eraseCopy(OpenObject<AcDbEntity>& copy) {
    if (openForChange(copy)) copy->erase();
}

// The drag sampler: the dragged copy follows the cursor from the base point, and the
// rubber band runs from the cursor to the base point.
int followCursor(ads_point cursor, ads_matrix transform) {
    for (unsigned r = 0; r < 3; ++r) transform[r][3] = cursor[r] - nestedBasePoint[r];
    OpenObject<AcDbLine> line;
    if (line.open(rubberBandLineId, AcDb::kForWrite) != Acad::eOk) return RTERROR;
    line->setStartPoint(asPoint(cursor));
    line->setEndPoint(asPoint(nestedBasePoint));
    line->draw();
    return RTNORM;
}

void moveCopy(AcDbObjectId copyId) {
    OpenObject<AcDbEntity> copy;
    if (copy.open(copyId, AcDb::kForRead) != Acad::eOk) return;
    ads_name name = {0, 0};
    if (const auto es = acdbGetAdsName(name, copyId); es != Acad::eOk) return reportFailure(es);
    OwnSelection dragged;
    dragged.made = acedSSAdd(name, nullptr, dragged.set) == RTNORM;
    const int based = acedGetPoint(nullptr, L"Enter base point: ", nestedBasePoint);
    if (based != RTNORM) {
        reportEndOfInput(based);
        return eraseCopy(copy);
    }
    ads_point to = {0.0, 0.0, 0.0};
    const int moved = acedDragGen(dragged.set, L"\nEnter second point:", 0, followCursor, to);
    reportEndOfInput(moved);
    if (moved != RTNORM) return eraseCopy(copy);
    if (openForChange(copy)) copy->transformBy(AcGeMatrix3d::translation(asPoint(to) - asPoint(nestedBasePoint)));
}

void eraseRubberBand() {
    OpenObject<AcDbEntity> line;
    if (const auto es = line.open(rubberBandLineId, AcDb::kForWrite); es != Acad::eOk) return reportFailure(es);
    line->erase();
}

// The copy of the picked entity, carried to where the entity is shown; null when the
// entity cannot be read.
std::unique_ptr<AcDbEntity> copyInPlace(const ads_name picked, const resbuf* stack) {
    AcDbObjectId pickedId;
    if (acdbGetObjectId(pickedId, picked) != Acad::eOk) return nullptr;
    std::unique_ptr<AcDbEntity> copy = cloneOf(pickedId);
    if (!copy) return nullptr;
    copy = asDrawnEntity(std::move(copy));
    for (const resbuf* entry = stack; entry; entry = entry->rbnext) applyReference(*copy, *entry);
    return copy;
}

}  // namespace

void zelncopy() {
    std::unique_ptr<AcDbEntity> copy;
    {
        ReferenceStack stack;
        ads_name picked = {0, 0};
        ads_matrix xform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
        const int rc = acedNEntSelP(L"\nSelect Nested Entity: ", picked, nestedBasePoint, 0, xform, &stack.list);
        if (rc != RTNORM) return reportEndOfInput(rc);
        copy = copyInPlace(picked, stack.list);
    }
    if (!copy) return;
    const AcDbObjectId copyId = appendToCurrentSpace(std::move(copy));
    rubberBandLineId = appendToCurrentSpace(std::make_unique<AcDbLine>());
    moveCopy(copyId);
    eraseRubberBand();
}
