#include "matrix3d.h"

#include "line3d.h"

#include <algorithm>
#include <cmath>

const AcGeMatrix3d AcGeMatrix3d::kIdentity{};

AcGeMatrix3d::AcGeMatrix3d() : entry{} { setToIdentity(); }

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) entry[r][c] = r == c ? 1.0 : 0.0;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setTranslation(const AcGeVector3d& v) {
    entry[0][3] = v.x;
    entry[1][3] = v.y;
    entry[2][3] = v.z;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& v) { return setToIdentity().setTranslation(v); }

AcGeMatrix3d& AcGeMatrix3d::setToScaling(double scale, const AcGePoint3d& center) {
    setToIdentity();
    for (unsigned i = 0; i < 3; ++i) entry[i][i] = scale;
    // Points keep their place relative to center: p' = s * (p - c) + c.
    return setTranslation(center.asVector() * (1.0 - scale));
}

AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center) {
    setToIdentity();
    const AcGeVector3d u = axis.normal();
    if (u.isZeroLength()) return *this;
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    const double r[3][3] = {
        {t * u.x * u.x + c, t * u.x * u.y - s * u.z, t * u.x * u.z + s * u.y},
        {t * u.x * u.y + s * u.z, t * u.y * u.y + c, t * u.y * u.z - s * u.x},
        {t * u.x * u.z - s * u.y, t * u.y * u.z + s * u.x, t * u.z * u.z + c},
    };
    for (unsigned i = 0; i < 3; ++i)
        for (unsigned j = 0; j < 3; ++j) entry[i][j] = r[i][j];
    const AcGeVector3d rc = apply(center.asVector());
    return setTranslation(center.asVector() - rc);
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGeLine3d& line) {
    setToIdentity();
    const AcGeVector3d d = line.direction();
    const double dv[3] = {d.x, d.y, d.z};
    for (unsigned i = 0; i < 3; ++i)
        for (unsigned j = 0; j < 3; ++j) entry[i][j] = 2.0 * dv[i] * dv[j] - (i == j ? 1.0 : 0.0);
    // P' = 2Q - P with Q = P0 + d(d.(P - P0)); the constant part is 2(P0 - d(d.P0)).
    const AcGeVector3d p0 = line.pointOnLine().asVector();
    return setTranslation((p0 - d * d.dotProduct(p0)) * 2.0);
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePoint3d& center) {
    setToScaling(-1.0, center);
    return *this;
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) { return AcGeMatrix3d().setToTranslation(v); }
AcGeMatrix3d AcGeMatrix3d::scaling(double s, const AcGePoint3d& c) { return AcGeMatrix3d().setToScaling(s, c); }
AcGeMatrix3d AcGeMatrix3d::rotation(double a, const AcGeVector3d& axis, const AcGePoint3d& c) {
    return AcGeMatrix3d().setToRotation(a, axis, c);
}
AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGeLine3d& line) { return AcGeMatrix3d().setToMirroring(line); }

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const {
    AcGeMatrix3d out;
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (unsigned k = 0; k < 4; ++k) sum += entry[r][k] * m.entry[k][c];
            out.entry[r][c] = sum;
        }
    return out;
}

double AcGeMatrix3d::det() const {
    const auto& e = entry;
    return e[0][0] * (e[1][1] * e[2][2] - e[1][2] * e[2][1]) - e[0][1] * (e[1][0] * e[2][2] - e[1][2] * e[2][0]) +
           e[0][2] * (e[1][0] * e[2][1] - e[1][1] * e[2][0]);
}

bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const { return std::abs(det()) <= tol.equalVector; }

AcGeMatrix3d AcGeMatrix3d::inverse() const {
    const double d = det();
    AcGeMatrix3d inv;
    if (d == 0.0) return inv;
    const auto& e = entry;
    double a[3][3];
    a[0][0] = (e[1][1] * e[2][2] - e[1][2] * e[2][1]) / d;
    a[0][1] = (e[0][2] * e[2][1] - e[0][1] * e[2][2]) / d;
    a[0][2] = (e[0][1] * e[1][2] - e[0][2] * e[1][1]) / d;
    a[1][0] = (e[1][2] * e[2][0] - e[1][0] * e[2][2]) / d;
    a[1][1] = (e[0][0] * e[2][2] - e[0][2] * e[2][0]) / d;
    a[1][2] = (e[0][2] * e[1][0] - e[0][0] * e[1][2]) / d;
    a[2][0] = (e[1][0] * e[2][1] - e[1][1] * e[2][0]) / d;
    a[2][1] = (e[0][1] * e[2][0] - e[0][0] * e[2][1]) / d;
    a[2][2] = (e[0][0] * e[1][1] - e[0][1] * e[1][0]) / d;
    for (unsigned i = 0; i < 3; ++i)
        for (unsigned j = 0; j < 3; ++j) inv.entry[i][j] = a[i][j];
    for (unsigned i = 0; i < 3; ++i)
        inv.entry[i][3] = -(a[i][0] * e[0][3] + a[i][1] * e[1][3] + a[i][2] * e[2][3]);
    return inv;
}

static AcGeVector3d column(const AcGeMatrix3d& m, unsigned c) { return {m(0, c), m(1, c), m(2, c)}; }

bool AcGeMatrix3d::isUniScaledOrtho(const AcGeTol& tol) const {
    const AcGeVector3d cols[3] = {column(*this, 0), column(*this, 1), column(*this, 2)};
    const double len0 = cols[0].length();
    if (len0 <= tol.equalVector) return false;
    // Compare relative to the scale so that a drawing in micrometres and one in
    // kilometres judge the same shape alike.
    for (unsigned i = 1; i < 3; ++i)
        if (std::abs(cols[i].length() - len0) > tol.equalVector * std::max(1.0, len0)) return false;
    const double sq = len0 * len0;
    for (unsigned i = 0; i < 3; ++i)
        for (unsigned j = i + 1; j < 3; ++j)
            if (std::abs(cols[i].dotProduct(cols[j])) > tol.equalVector * std::max(1.0, sq)) return false;
    return true;
}

double AcGeMatrix3d::scale() const {
    return std::max({column(*this, 0).length(), column(*this, 1).length(), column(*this, 2).length()});
}

AcGePoint3d AcGeMatrix3d::apply(const AcGePoint3d& p) const {
    const auto& e = entry;
    return {e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3],
            e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3],
            e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3]};
}

AcGeVector3d AcGeMatrix3d::apply(const AcGeVector3d& v) const {
    const auto& e = entry;
    return {e[0][0] * v.x + e[0][1] * v.y + e[0][2] * v.z, e[1][0] * v.x + e[1][1] * v.y + e[1][2] * v.z,
            e[2][0] * v.x + e[2][1] * v.y + e[2][2] * v.z};
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol) const {
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c)
            if (std::abs(entry[r][c] - m.entry[r][c]) > tol.equalVector) return false;
    return true;
}
