#include "vector3d.h"

#include "matrix3d.h"

#include <algorithm>
#include <cmath>

AcGeVector3d AcGeVector3d::perpVector() const {
    // The arbitrary-axis choice of the drawing format: a world axis far from this one.
    const AcGeVector3d n = normal();
    if (std::abs(n.x) < 1.0 / 64.0 && std::abs(n.y) < 1.0 / 64.0) return kYAxis.crossProduct(n).normal();
    return kZAxis.crossProduct(n).normal();
}

double AcGeVector3d::angleTo(const AcGeVector3d& v) const {
    const double denom = length() * v.length();
    if (denom == 0.0) return 0.0;
    return std::acos(std::clamp(dotProduct(v) / denom, -1.0, 1.0));
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) { return *this = m.apply(*this); }
