#pragma once

#include "point3d.h"
#include "vector3d.h"

class AcGeLine3d;

// A 4x4 affine transformation acting on column vectors: p' = M * p.
// Row 3 stays (0, 0, 0, 1) for every matrix the host builds.
class AcGeMatrix3d {
public:
    double entry[4][4];

    AcGeMatrix3d();  // identity

    static const AcGeMatrix3d kIdentity;

    double operator()(unsigned row, unsigned column) const { return entry[row][column]; }
    double& operator()(unsigned row, unsigned column) { return entry[row][column]; }

    AcGeMatrix3d& setToIdentity();
    AcGeMatrix3d& setToTranslation(const AcGeVector3d& v);
    AcGeMatrix3d& setToScaling(double scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Right-handed rotation by angle (radians) about the axis through center.
    AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Half-turn about the line: every point P goes to 2Q - P, Q its projection on the line.
    AcGeMatrix3d& setToMirroring(const AcGeLine3d& line);
    // Point reflection: P goes to 2C - P.
    AcGeMatrix3d& setToMirroring(const AcGePoint3d& center);

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    static AcGeMatrix3d scaling(double scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d mirroring(const AcGeLine3d& line);

    AcGeVector3d translation() const { return {entry[0][3], entry[1][3], entry[2][3]}; }
    AcGeMatrix3d& setTranslation(const AcGeVector3d& v);

    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;
    AcGeMatrix3d& operator*=(const AcGeMatrix3d& m) { return *this = *this * m; }
    AcGeMatrix3d& preMultBy(const AcGeMatrix3d& left) { return *this = left * *this; }
    AcGeMatrix3d& postMultBy(const AcGeMatrix3d& right) { return *this = *this * right; }

    double det() const;
    AcGeMatrix3d inverse() const;  // the identity for a singular matrix
    bool isSingular(const AcGeTol& tol = AcGeContext::gTol) const;

    // True when the linear part is an orthogonal matrix times one common scale factor
    // (no shear, equal scale along every axis); mirroring counts as orthogonal.
    bool isUniScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
    // The largest scale factor of the linear part along any coordinate axis.
    double scale() const;

    AcGePoint3d apply(const AcGePoint3d& p) const;
    AcGeVector3d apply(const AcGeVector3d& v) const;

    bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeMatrix3d& m) const { return isEqualTo(m); }
};

inline AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) { return m.apply(p); }
inline AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) { return m.apply(v); }
