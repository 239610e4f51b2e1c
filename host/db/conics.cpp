#include "conics.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace hostdb {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

double normalizedAngle(double a) {
    a = std::fmod(a, kTwoPi);
    return a < 0.0 ? a + kTwoPi : a;
}

PrincipalAxes principalAxes(const AcGeVector3d& u, const AcGeVector3d& v) {
    const double uu = u.dotProduct(u), vv = v.dotProduct(v), uv = u.dotProduct(v);
    // Already perpendicular (a rotation or an even scale leaves the axes axes): keep
    // them, so that a circle does not pick an axis from rounding noise.
    if (std::abs(uv) <= 1e-12 * (uu + vv) && uu >= vv) return {u, v, 0.0};
    // |u cos t + v sin t|^2 is stationary where tan 2t = 2 u.v / (u.u - v.v).
    double t0 = 0.5 * std::atan2(2.0 * uv, uu - vv);
    auto at = [&](double t) { return u * std::cos(t) + v * std::sin(t); };
    AcGeVector3d major = at(t0), minor = at(t0 + std::numbers::pi / 2.0);
    if (major.length() < minor.length()) {
        t0 += std::numbers::pi / 2.0;
        major = at(t0);
        minor = at(t0 + std::numbers::pi / 2.0);
    }
    return {major, minor, t0};
}

void addEllipseExtents(AcDbExtents& ext, const AcGePoint3d& c, const AcGeVector3d& u, const AcGeVector3d& v,
                       double start, double end) {
    auto at = [&](double t) { return c + u * std::cos(t) + v * std::sin(t); };
    const double sweep = end - start;
    const bool full = sweep >= kTwoPi - 1e-12;
    if (!full) {
        ext.addPoint(at(start));
        ext.addPoint(at(end));
    }
    const double us[3] = {u.x, u.y, u.z}, vs[3] = {v.x, v.y, v.z};
    for (int i = 0; i < 3; ++i) {
        if (us[i] == 0.0 && vs[i] == 0.0) continue;
        const double peak = std::atan2(vs[i], us[i]);
        for (const double t : {peak, peak + std::numbers::pi})
            if (full || normalizedAngle(t - start) <= sweep) ext.addPoint(at(t));
    }
    if (!ext.isValid()) ext.addPoint(c);
}

bool bulgeArc(double ax, double ay, double bx, double by, double bulge, BulgeArc& arc) {
    const double dx = bx - ax, dy = by - ay, chord = std::hypot(dx, dy);
    if (bulge == 0.0 || chord == 0.0) return false;
    const double sweep = 4.0 * std::atan(bulge);
    const double radius = chord / (2.0 * std::sin(std::abs(sweep) / 2.0));
    // The centre lies off the chord's midpoint, left of a->b for a counter-clockwise arc
    // of less than half a turn.
    const double offset = radius * std::cos(sweep / 2.0) * (bulge > 0 ? 1.0 : -1.0);
    arc.cx = (ax + bx) / 2.0 - dy / chord * offset;
    arc.cy = (ay + by) / 2.0 + dx / chord * offset;
    arc.radius = radius;
    arc.start = std::atan2(ay - arc.cy, ax - arc.cx);
    arc.end = std::atan2(by - arc.cy, bx - arc.cx);
    if (bulge < 0) std::swap(arc.start, arc.end);
    return true;
}

}  // namespace hostdb
