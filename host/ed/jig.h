#pragma once

#include "../db/objectid.h"
#include "../rx/adesk.h"
#include "../ge/point3d.h"

#include <memory>
#include <string>

class AcDbEntity;
class AcDbLine;

// An interactive drag of one entity. drag() runs the host's sampling loop: it calls
// sampler() to read the input device, update() to apply a changed value to the entity
// and entity() to draw it, until the user gives a final input or cancels. The loop does
// not care where input comes from: a script gives one final line a drag, a person at
// the GUI many intermediate samples and then a click.
class AcEdJig {
public:
    enum DragStatus {
        kModeless = -17,
        kNoChange = -6,
        kCancel = -4,
        kOther = -3,
        kNull = -1,
        kNormal = 0,
    };
    enum UserInputControls {
        kGovernedByOrthoMode = 0x1,
        kNullResponseAccepted = 0x2,
        kDontEchoCancelForCtrlC = 0x4,
        kDontUpdateLastPoint = 0x8,
        kNoDwgLimitsChecking = 0x10,
        kNoZeroResponseAccepted = 0x20,
        kNoNegativeResponseAccepted = 0x40,
        kAccept3dCoordinates = 0x80,
        kAcceptMouseUpAsPoint = 0x100,
        kAnyBlankTerminatesInput = 0x200,
        kInitialBlankTerminatesInput = 0x400,
        kAcceptOtherInputString = 0x800,
    };
    enum CursorType {
        kNoSpecialCursor = -1,
        kCrosshair = 0,
        kRectCursor = 1,
        kRubberBand = 2,
        kNotRotated = 3,
        kTargetBox = 4,
    };

    AcEdJig() = default;
    virtual ~AcEdJig();
    AcEdJig(const AcEdJig&) = delete;
    AcEdJig& operator=(const AcEdJig&) = delete;

    DragStatus drag();
    virtual DragStatus sampler() { return kNormal; }
    virtual Adesk::Boolean update() { return Adesk::kTrue; }
    virtual AcDbEntity* entity() const { return nullptr; }
    // Adds entity() to the current space of the current drawing; the null id on failure.
    AcDbObjectId append();

    const ACHAR* dispPrompt() const { return m_prompt.c_str(); }
    void setDispPrompt(const ACHAR* prompt) { m_prompt = prompt ? prompt : L""; }

    // A point: "x,y[,z]". Empty input answers kNull, Escape kCancel, other text kOther.
    DragStatus acquirePoint(AcGePoint3d& point);
    // The same, and the drag shows a rubber-band line from basePoint to the point.
    DragStatus acquirePoint(AcGePoint3d& point, const AcGePoint3d& basePoint);
    // An angle in radians: a number in the drawing's angular units, or a point, whose
    // direction from the base point gives the angle.
    DragStatus acquireAngle(double& angle);
    DragStatus acquireAngle(double& angle, const AcGePoint3d& basePoint);

    UserInputControls userInputControls() const { return m_controls; }
    void setUserInputControls(UserInputControls controls) { m_controls = controls; }
    CursorType specialCursorType() const { return m_cursor; }
    void setSpecialCursorType(CursorType cursor) { m_cursor = cursor; }

private:
    // The next input of this drag; false when there is none (cancel or failed input).
    bool nextInput(std::wstring& text, DragStatus& status);

    std::wstring m_prompt;
    UserInputControls m_controls = static_cast<UserInputControls>(0);
    CursorType m_cursor = kNoSpecialCursor;
    bool m_finalInput = false;
    // The rubber band of the last point acquired from a base point; shown with the entity.
    std::unique_ptr<AcDbLine> m_band;
};
