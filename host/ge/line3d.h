#pragma once

#include "point3d.h"
#include "vector3d.h"

// An unbounded line through a point with a direction.
class AcGeLine3d {
public:
    AcGeLine3d() = default;
    AcGeLine3d(const AcGePoint3d& point, const AcGeVector3d& direction) : m_point(point), m_direction(direction) {}
    AcGeLine3d(const AcGePoint3d& p1, const AcGePoint3d& p2) : m_point(p1), m_direction(p2 - p1) {}

    AcGeLine3d& set(const AcGePoint3d& p1, const AcGePoint3d& p2) { return *this = AcGeLine3d(p1, p2); }
    AcGePoint3d pointOnLine() const { return m_point; }
    AcGeVector3d direction() const { return m_direction.normal(); }
    // The orthogonal projection of p onto the line; the line's point when the
    // direction has no length.
    AcGePoint3d closestPointTo(const AcGePoint3d& p) const {
        const AcGeVector3d d = direction();
        return m_point + d * (p - m_point).dotProduct(d);
    }

private:
    AcGePoint3d m_point;
    AcGeVector3d m_direction{AcGeVector3d::kXAxis};
};
