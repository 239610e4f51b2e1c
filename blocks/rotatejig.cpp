#include "blocks/placementjigs.h"

RotateJig::RotateJig(const AcGePoint3d& base, AcDbObjectId id) : basePoint(base), referenceId(id) {}

RotateJig::~RotateJig() { closeReference(); }

bool RotateJig::open() {
    opened = acdbOpenObject(reference, referenceId, AcDb::kForWrite) == Acad::eOk && reference != nullptr;
    if (!opened) reference = nullptr;
    return opened;
}

void RotateJig::closeReference() {
    if (opened && reference) reference->close();
    opened = false;
    reference = nullptr;
}

AcEdJig::DragStatus RotateJig::sampler() {
    setSpecialCursorType(kRubberBand);
    double angle = 0.0;
    if (acquireAngle(angle, basePoint) != kNormal) return kCancel;
    if (angle == lastAngle) return kNoChange;
    currentAngle = angle;
    return kNormal;
}

Adesk::Boolean RotateJig::update() {
    if (!reference) return false;
    lastTransform = AcGeMatrix3d::rotation(currentAngle - lastAngle, AcGeVector3d::kZAxis, basePoint);
    if (reference->transformBy(lastTransform) != Acad::eOk) return false;
    lastAngle = currentAngle;
    return true;
}
