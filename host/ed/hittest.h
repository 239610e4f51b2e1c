#pragma once

#include "../ge/extents.h"

class AcDbDatabase;
class AcDbEntity;

namespace hosted {

// How entities are found from picks and windows, in plan view (X and Y; Z is not
// looked at). Curves are tested by their drawn shape (arcs by fine chords); text and
// kinds the host does not draw by their extents box; block references and dimensions
// by their parts and attributes.

// True when the entity passes within aperture of p.
bool hitsPoint(const AcDbEntity& entity, const AcGePoint3d& p, double aperture);
// True when the entity lies wholly inside the window.
bool insideWindow(const AcDbEntity& entity, const AcDbExtents& window);
// True when any part of the entity lies inside the window or crosses its border.
bool crossesWindow(const AcDbEntity& entity, const AcDbExtents& window);

// Half the side of the pick box in drawing units: three pixels of an 800-pixel view
// zoomed to the extents of the current space.
double pickAperture(AcDbDatabase& db);

}  // namespace hosted
