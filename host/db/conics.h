#pragma once

// Plane curves as the entity kinds keep them: elliptical arcs given by two conjugate
// semi-diameters, and the arcs that polyline bulges stand for.

#include "../ge/extents.h"

namespace hostdb {

// The curve c + u cos t + v sin t rewritten about its own axes: major and minor are
// perpendicular with |major| >= |minor|, and the point at old parameter t has the new
// parameter t - shift. An affine map turns the axes of an ellipse into conjugate
// semi-diameters; this gives back the axes the drawing format stores.
struct PrincipalAxes {
    AcGeVector3d major, minor;
    double shift = 0.0;
};
PrincipalAxes principalAxes(const AcGeVector3d& u, const AcGeVector3d& v);

// Adds the curve c + u cos t + v sin t for t from start to end (radians, end above
// start; a sweep of a whole turn or more is the full curve) to the extents: its ends
// and, for each world axis, the parameters where that coordinate peaks.
void addEllipseExtents(AcDbExtents& ext, const AcGePoint3d& c, const AcGeVector3d& u, const AcGeVector3d& v,
                       double start, double end);

// The circular arc of a polyline segment from a to b with the given bulge (the tangent
// of a quarter of the swept angle; positive turns counter-clockwise). Angles are those
// of a and b seen from the centre; the arc runs counter-clockwise from start to end.
struct BulgeArc {
    double cx = 0.0, cy = 0.0, radius = 0.0, start = 0.0, end = 0.0;
};
// False for a straight segment (no bulge) and for coincident ends.
bool bulgeArc(double ax, double ay, double bx, double by, double bulge, BulgeArc& arc);

// The angle brought into [0, 2pi).
double normalizedAngle(double a);

}  // namespace hostdb
