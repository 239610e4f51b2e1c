#pragma once

#include "../ge/planeframe.h"

#include <cmath>

namespace hostdb {

// How a transformation carries the data that a planar entity keeps in its object
// coordinate system (2D points at an elevation, in-plane directions and angles) into
// the coordinate system of the transformed plane. The new normal is the cross product
// of the transformed plane axes, so the data keeps its sense: a mirror turns the plane
// over instead of reversing arcs and bulges, and the 2D map left in the new plane
// never reflects.
class OcsMap {
public:
    OcsMap(const AcGeMatrix3d& m, const AcGeVector3d& normal)
        : m_m(m), m_from(AcGePlaneFrame::fromNormal(normal)), m_plane(AcGePlaneTransform::of(m, m_from)) {
        const AcGeVector3d x = m * m_from.xAxis, y = m * m_from.yAxis;
        m_degenerate = x.crossProduct(y).isZeroLength();
    }

    // The plane collapses to a line or a point: nothing planar survives it.
    bool degenerate() const { return m_degenerate; }
    bool uniform() const { return m_plane.uniform; }
    double scale() const { return m_plane.scale; }
    AcGeVector3d newNormal() const { return m_plane.frame.normal; }
    const AcGePlaneFrame& from() const { return m_from; }
    const AcGePlaneFrame& to() const { return m_plane.frame; }

    // An OCS point (z the elevation) to the new OCS.
    AcGePoint3d point(const AcGePoint3d& p) const { return to().toPlane(m_m * m_from.toWorld(p)); }
    AcGePoint3d point(double x, double y, double elevation) const { return point(AcGePoint3d(x, y, elevation)); }
    // An in-plane OCS vector to the new OCS (z stays 0 up to rounding).
    AcGeVector3d vector(double x, double y) const {
        return to().toPlane(AcGePoint3d::kOrigin + m_m * (m_from.xAxis * x + m_from.yAxis * y)).asVector();
    }
    // The direction at angle a (radians, in the old plane), as an angle in the new plane.
    double angle(double a) const {
        const AcGeVector3d v = vector(std::cos(a), std::sin(a));
        return std::atan2(v.y, v.x);
    }
    // The factor that lengths along the direction at angle a are scaled by.
    double stretchAlong(double a) const { return vector(std::cos(a), std::sin(a)).length(); }
    // The elevation of the new plane above the new frame's origin.
    double elevation(double oldElevation) const { return point(0.0, 0.0, oldElevation).z; }

private:
    AcGeMatrix3d m_m;
    AcGePlaneFrame m_from;
    AcGePlaneTransform m_plane;
    bool m_degenerate = false;
};

}  // namespace hostdb
