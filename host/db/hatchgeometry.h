#pragma once

#include "foreignentity.h"

// The hatch, which the host keeps as persisted data (its AcDbHatch section): boundary
// paths (polylines with bulges, or edges: lines, circular and elliptical arcs, splines),
// seed points and pattern lines, all 2D in the plane of its normal at its elevation.
namespace hostdb {

// Moves the boundary, the seed points and the pattern with the plane. Any affine map is
// taken: a stretched circular arc becomes an elliptical one, a stretched polyline path
// with arcs becomes a path of edges, and pattern lines stay exact (a family of parallel
// dashed lines maps onto one).
Acad::ErrorStatus transformHatch(AcDbForeignEntity& hatch, const AcGeMatrix3d& m);
// The box of the boundary paths; seed points and pattern lines lie inside them.
Acad::ErrorStatus hatchExtents(const AcDbForeignEntity& hatch, AcDbExtents& ext);

}  // namespace hostdb
