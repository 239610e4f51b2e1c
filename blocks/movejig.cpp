#include "blocks/placementjigs.h"

MoveJig::MoveJig(AcDbEntity* entity) : reference(entity) {
    if (!reference) return;
    referenceId = reference->objectId();
    writable = reference->isWriteEnabled() || reference->upgradeOpen() == Acad::eOk;
    isNew = reference->isNewObject();
}

MoveJig::~MoveJig() {
    if (!reference) return;
    if (referenceId.isNull()) delete reference;
    else reference->close();
}

AcEdJig::DragStatus MoveJig::sampler() {
    setUserInputControls(static_cast<UserInputControls>(kAccept3dCoordinates | kNoDwgLimitsChecking));
    if (acquirePoint(currentPoint) != kNormal) return kCancel;
    return currentPoint == lastPoint ? kNoChange : kNormal;
}

Adesk::Boolean MoveJig::update() {
    if (reference->transformBy(AcGeMatrix3d::translation(currentPoint - lastPoint)) != Acad::eOk) return false;
    lastPoint = currentPoint;
    return true;
}
