#pragma once

#include "matrix3d.h"
#include "point3d.h"

// An axis-aligned box. A default-constructed box is empty (invalid) until a point is added.
class AcDbExtents {
public:
    AcDbExtents();
    AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max);

    AcGePoint3d minPoint() const { return m_min; }
    AcGePoint3d maxPoint() const { return m_max; }
    bool isValid() const { return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z; }

    void set(const AcGePoint3d& min, const AcGePoint3d& max);
    void addPoint(const AcGePoint3d& p);
    void addExt(const AcDbExtents& other);
    // The box of the transformed corners: it contains the transformed box.
    void transformBy(const AcGeMatrix3d& m);
    bool contains(const AcGePoint3d& p, double tol = 0.0) const;
    bool intersects(const AcDbExtents& other) const;

private:
    AcGePoint3d m_min;
    AcGePoint3d m_max;
};
