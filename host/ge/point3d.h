#pragma once

#include "vector3d.h"

class AcGeMatrix3d;

// A position in 3D. Differences of points are vectors; a point plus a vector is a point.
class AcGePoint3d {
public:
    double x = 0.0, y = 0.0, z = 0.0;

    constexpr AcGePoint3d() = default;
    constexpr AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}

    static const AcGePoint3d kOrigin;

    constexpr AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    constexpr AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    constexpr AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGePoint3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
    AcGePoint3d& operator-=(const AcGeVector3d& v) { return *this = *this - v; }

    constexpr AcGeVector3d asVector() const { return {x, y, z}; }
    double distanceTo(const AcGePoint3d& p) const { return (*this - p).length(); }

    bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const {
        return distanceTo(p) <= tol.equalPoint;
    }
    // Equality within the host's default tolerance, as jigs compare cursor samples.
    bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }

    AcGePoint3d& transformBy(const AcGeMatrix3d& m);
};

inline constexpr AcGePoint3d AcGePoint3d::kOrigin{0.0, 0.0, 0.0};

// A position in a plane: light-weight polyline vertices and other OCS data.
class AcGePoint2d {
public:
    double x = 0.0, y = 0.0;
    constexpr AcGePoint2d() = default;
    constexpr AcGePoint2d(double xx, double yy) : x(xx), y(yy) {}
    bool operator==(const AcGePoint2d&) const = default;
};
