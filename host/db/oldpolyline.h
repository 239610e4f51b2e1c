#pragma once

#include "foreignentity.h"

// The old-style polyline (a POLYLINE record with its VERTEX records), which the host
// keeps as persisted data: a 2D polyline with widths and bulges in the plane of its
// normal at its elevation, a 3D polyline, a polygon mesh or a polyface mesh, the last
// three in world coordinates. The header's own point is a placeholder (it holds only
// the elevation) and is never part of the shape.
namespace hostdb {

Acad::ErrorStatus transformOldPolyline(AcDbForeignEntity& polyline, const AcGeMatrix3d& m);
Acad::ErrorStatus oldPolylineExtents(const AcDbForeignEntity& polyline, AcDbExtents& ext);
// Lines and arcs for a 2D polyline, lines for a 3D one, 3D faces for the meshes.
Acad::ErrorStatus explodeOldPolyline(const AcDbForeignEntity& polyline, AcDbVoidPtrArray& parts);

}  // namespace hostdb
