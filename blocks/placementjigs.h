#pragma once

#include "frame/hostapi.h"

#include <string>
#include <utility>

// Drags a block reference to its insertion point. Owns the reference while it is not
// in a database: destroying the jig deletes a reference that was never appended and
// closes one that was.
class MoveJig : public AcEdJig {
public:
    explicit MoveJig(AcDbEntity* entity);
    ~MoveJig() override;

    AcDbEntity* entity() const override { return reference; }
    Adesk::Boolean update() override;
    DragStatus sampler() override;

    AcGePoint3d currentPoint;
    AcGePoint3d lastPoint;
    AcDbEntity* reference = nullptr;
    AcDbObjectId referenceId;
    std::wstring promptText = L"\nSelect Point: ";
    bool isNew = false;
    bool writable = false;
};

// Turns a placed reference about its insertion point. Opens the reference for write
// itself (the host counts a second write open) and closes it when destroyed.
class RotateJig : public AcEdJig {
public:
    RotateJig(const AcGePoint3d& base, AcDbObjectId id);
    ~RotateJig() override;

    AcDbEntity* entity() const override { return reference; }
    Adesk::Boolean update() override;
    DragStatus sampler() override;
    // Opens the reference for write; false when that fails.
    bool open();
    void closeReference();

    AcGePoint3d basePoint;
    double lastAngle = 0.0;
    double currentAngle = 0.0;
    AcDbEntity* reference = nullptr;
    AcDbObjectId referenceId;
    std::wstring promptText = L"\nSet Rotation: ";
    bool opened = false;
    AcGeMatrix3d lastTransform;
};

// Places a new block reference (owned from the call on): the user drags it to its point
// and, with rotate, turns it. eOk and the reference's id when it was placed; status 3
// when it was not placed (null id) or its rotation was cancelled (the reference is then
// erased and its id still returned).
std::pair<Acad::ErrorStatus, AcDbObjectId> placeBlockReference(AcDbBlockReference* reference, bool rotate);
