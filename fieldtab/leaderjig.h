#pragma once

#include "frame/hostapi.h"

#include <string>

// Builds a leader, straight or spline, from points the user picks, with a new MText
// that shows a field as its annotation. Owns what it has not added to the drawing:
// destroying the jig deletes a leader that was never appended, and closes an appended
// MText or deletes one that was not.
class LeaderJig : public AcEdJig {
public:
    explicit LeaderJig(std::wstring code);
    ~LeaderJig() override;

    AcDbEntity* entity() const override { return leader; }
    Adesk::Boolean update() override { return true; }
    DragStatus sampler() override;

    // Asks for the start point and the next points, then adds the MText with its field
    // and the leader to the current space. RTNORM when placed; RTERROR when cancelled,
    // when fewer than two points were given (nothing is added), or when a step failed.
    int doit();

    std::wstring fieldCode;
    AcGePoint3d currentPoint;
    AcGePoint3d basePoint;
    AcDbObjectId leaderId;
    AcDbObjectId mtextId;
    AcDbLeader* leader = nullptr;
    AcDbMText* mtext = nullptr;
    bool spline = false;

private:
    // Each step answers false when the placement ends there.
    bool pickPoints();
    void placeText();
    bool addText();
    void attachField(AcDbDatabase* db);
    bool addLeader();
};
