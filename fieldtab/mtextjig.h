#pragma once

#include "blocks/placementjigs.h"

#include <string>

// Drags a new MText that shows a field to its place. It moves as MoveJig moves a block
// reference (the same update), but takes any 3D point, drawing limits or not, and owns
// its MText: destroying the jig closes the MText once it is in the drawing and deletes
// it otherwise.
class MTextJig : public MoveJig {
public:
    explicit MTextJig(std::wstring code);

    DragStatus sampler() override;

    AcDbMText* mtext() const { return static_cast<AcDbMText*>(reference); }
    // Places the MText in the current drawing: its field is posted before the drag, and
    // taken out of the drawing again when the drag ends without a point.
    void doIt();

    std::wstring fieldCode;

private:
    // The id of the posted field; null when posting failed.
    AcDbObjectId attachField(AcDbDatabase* db);
};
