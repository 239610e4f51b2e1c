#include "curves.h"

#include "foreignentity.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

ACRX_DEFINE_MEMBERS(AcDbLine, AcDbEntity, "LINE")
ACRX_DEFINE_MEMBERS(AcDbCircle, AcDbEntity, "CIRCLE")
ACRX_DEFINE_MEMBERS(AcDbArc, AcDbEntity, "ARC")
ACRX_DEFINE_MEMBERS(AcDbPolyline, AcDbEntity, "LWPOLYLINE")
ACRX_DEFINE_MEMBERS(AcDbPoint, AcDbEntity, "POINT")

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;

double normalizeAngle(double a) {
    a = std::fmod(a, kTwoPi);
    return a < 0.0 ? a + kTwoPi : a;
}

// Whether angle a lies on the counter-clockwise sweep from start to end.
bool onSweep(double a, double start, double end) {
    const double sweep = normalizeAngle(end - start);
    return normalizeAngle(a - start) <= (sweep == 0.0 ? kTwoPi : sweep);
}

// Adds the extremes of a circular arc to the extents: its ends and, per world axis,
// the two angles where that coordinate peaks, when they lie on the arc.
void addArcExtents(AcDbExtents& ext, const AcGePoint3d& center, double r, const AcGePlaneFrame& f, double start,
                   double end, bool full) {
    auto at = [&](double a) { return center + f.direction(a) * r; };
    if (!full) {
        ext.addPoint(at(start));
        ext.addPoint(at(end));
    }
    const double ax[3] = {f.xAxis.x, f.xAxis.y, f.xAxis.z};
    const double ay[3] = {f.yAxis.x, f.yAxis.y, f.yAxis.z};
    for (int i = 0; i < 3; ++i) {
        if (ax[i] == 0.0 && ay[i] == 0.0) continue;
        const double peak = std::atan2(ay[i], ax[i]);
        for (double a : {peak, peak + std::numbers::pi})
            if (full || onSweep(a, start, end)) ext.addPoint(at(a));
    }
    if (full && ext.isValid() == false) ext.addPoint(center);
}

// The elliptical arc that a circular one in the frame f becomes under m, as an ELLIPSE
// with the curve's properties.
AcDbEntity* stretchedArc(const AcDbEntity& curve, const AcGeMatrix3d& m, const AcGePoint3d& center, double radius,
                         const AcGePlaneFrame& f, double start, double end) {
    const AcGeVector3d u = m * (f.xAxis * radius), v = m * (f.yAxis * radius);
    if (u.crossProduct(v).isZeroLength()) return nullptr;
    auto ellipse = std::make_unique<AcDbForeignEntity>("ELLIPSE");
    hostdb::setEllipseItems(ellipse->foreign().chunk("AcDbEllipse"), m * center, u, v, start, end);
    ellipse->setPropertiesFrom(&curve, false);
    return ellipse.release();
}
}  // namespace

// ---- line ----

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& p) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_start = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& p) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_end = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_start = m * m_start;
    m_end = m * m_end;
    const AcGeVector3d n = m * m_normal;
    m_thickness *= n.length();
    m_normal = n.isZeroLength() ? AcGeVector3d::kZAxis : n.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents(m_start, m_end);
    if (m_thickness != 0.0) {
        ext.addPoint(m_start + m_normal * m_thickness);
        ext.addPoint(m_end + m_normal * m_thickness);
    }
    return Acad::eOk;
}

// ---- circle ----

Acad::ErrorStatus AcDbCircle::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const auto t = AcGePlaneTransform::of(m, AcGePlaneFrame::fromNormal(m_normal));
    if (!t.uniform) return Acad::eNotApplicable;  // it would no longer be a circle
    m_center = m * m_center;
    m_radius *= t.scale;
    m_thickness *= t.scale;
    m_normal = t.frame.normal;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getTransformedCopy(const AcGeMatrix3d& m, AcDbEntity*& copy) const {
    if (AcGePlaneTransform::of(m, AcGePlaneFrame::fromNormal(m_normal)).uniform)
        return AcDbEntity::getTransformedCopy(m, copy);
    copy = stretchedArc(*this, m, m_center, m_radius, AcGePlaneFrame::fromNormal(m_normal), 0.0, kTwoPi);
    return copy ? Acad::eOk : Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbCircle::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    ext.addPoint(m_center);
    addArcExtents(ext, m_center, m_radius, AcGePlaneFrame::fromNormal(m_normal), 0.0, kTwoPi, true);
    return Acad::eOk;
}

// ---- arc ----

AcGePoint3d AcDbArc::pointAt(double angle) const {
    return m_center + AcGePlaneFrame::fromNormal(m_normal).direction(angle) * m_radius;
}

Acad::ErrorStatus AcDbArc::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const auto from = AcGePlaneFrame::fromNormal(m_normal);
    const auto t = AcGePlaneTransform::of(m, from);
    if (!t.uniform) return Acad::eNotApplicable;
    // The transformed frame keeps the arc's sense about the new normal, so both angles
    // turn by the same amount.
    m_start = normalizeAngle(m_start + t.rotation);
    m_end = normalizeAngle(m_end + t.rotation);
    m_center = m * m_center;
    m_radius *= t.scale;
    m_thickness *= t.scale;
    m_normal = t.frame.normal;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getTransformedCopy(const AcGeMatrix3d& m, AcDbEntity*& copy) const {
    const auto f = AcGePlaneFrame::fromNormal(m_normal);
    if (AcGePlaneTransform::of(m, f).uniform) return AcDbEntity::getTransformedCopy(m, copy);
    const double start = normalizeAngle(m_start);
    double end = normalizeAngle(m_end);
    if (end <= start) end += kTwoPi;
    copy = stretchedArc(*this, m, m_center, m_radius, f, start, end);
    return copy ? Acad::eOk : Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbArc::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    addArcExtents(ext, m_center, m_radius, AcGePlaneFrame::fromNormal(m_normal), m_start, m_end, false);
    return Acad::eOk;
}

// ---- light-weight polyline ----

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned index, const AcGePoint2d& p, double bulge, double sw, double ew) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (index > m_vertices.size()) return Acad::eInvalidIndex;
    m_vertices.insert(m_vertices.begin() + index, Vertex{p, bulge, sw, ew});
    return Acad::eOk;
}

AcGePoint3d AcDbPolyline::vertexAt(unsigned index) const {
    const auto& v = m_vertices.at(index);
    return AcGePlaneFrame::fromNormal(m_normal).toWorld({v.point.x, v.point.y, m_elevation});
}

Acad::ErrorStatus AcDbPolyline::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const auto from = AcGePlaneFrame::fromNormal(m_normal);
    const auto t = AcGePlaneTransform::of(m, from);
    if (!t.uniform && std::any_of(m_vertices.begin(), m_vertices.end(), [](const Vertex& v) { return v.bulge != 0.0; }))
        return Acad::eNotApplicable;  // arc segments cannot be stretched unevenly
    std::vector<AcGePoint3d> world;
    world.reserve(m_vertices.size());
    for (unsigned i = 0; i < m_vertices.size(); ++i) world.push_back(m * vertexAt(i));
    const AcGePlaneFrame& to = t.frame;
    m_elevation = world.empty() ? to.toPlane(m * from.toWorld({0, 0, m_elevation})).z : to.toPlane(world[0]).z;
    for (unsigned i = 0; i < m_vertices.size(); ++i) {
        const AcGePoint3d p = to.toPlane(world[i]);
        m_vertices[i].point = {p.x, p.y};
        m_vertices[i].startWidth *= t.scale;
        m_vertices[i].endWidth *= t.scale;
    }
    m_constantWidth *= t.scale;
    m_thickness *= t.scale;
    m_normal = to.normal;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    if (m_vertices.empty()) return Acad::eInvalidExtents;
    const auto f = AcGePlaneFrame::fromNormal(m_normal);
    const std::size_t n = m_vertices.size();
    for (std::size_t i = 0; i < n; ++i) {
        ext.addPoint(vertexAt(static_cast<unsigned>(i)));
        const bool last = i + 1 == n;
        if (m_vertices[i].bulge == 0.0 || (last && !m_closed)) continue;
        // A bulge is tan(sweep/4); the arc's centre lies off the chord's midpoint.
        const auto& a = m_vertices[i].point;
        const auto& b = m_vertices[last ? 0 : i + 1].point;
        const double bulge = m_vertices[i].bulge;
        const double dx = b.x - a.x, dy = b.y - a.y, chord = std::hypot(dx, dy);
        if (chord == 0.0) continue;
        const double sweep = 4.0 * std::atan(bulge);
        const double radius = chord / (2.0 * std::sin(std::abs(sweep) / 2.0));
        const double offset = radius * std::cos(sweep / 2.0) * (bulge > 0 ? 1.0 : -1.0);
        const double mx = (a.x + b.x) / 2.0, my = (a.y + b.y) / 2.0;
        const double cx = mx - dy / chord * offset, cy = my + dx / chord * offset;
        double start = std::atan2(a.y - cy, a.x - cx), end = std::atan2(b.y - cy, b.x - cx);
        if (bulge < 0) std::swap(start, end);
        const double r = std::abs(radius);
        for (int q = 0; q < 4; ++q) {
            const double ang = q * std::numbers::pi / 2.0;
            if (onSweep(ang, start, end))
                ext.addPoint(f.toWorld({cx + r * std::cos(ang), cy + r * std::sin(ang), m_elevation}));
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::explode(AcDbVoidPtrArray& set) const {
    const std::size_t n = m_vertices.size();
    const std::size_t segments = m_closed ? n : (n == 0 ? 0 : n - 1);
    const auto f = AcGePlaneFrame::fromNormal(m_normal);
    for (std::size_t i = 0; i < segments; ++i) {
        const AcGePoint3d a = vertexAt(static_cast<unsigned>(i));
        const AcGePoint3d b = vertexAt(static_cast<unsigned>((i + 1) % n));
        const double bulge = m_vertices[i].bulge;
        AcDbEntity* part = nullptr;
        if (bulge == 0.0) {
            part = new AcDbLine(a, b);
        } else {
            const auto& pa = m_vertices[i].point;
            const auto& pb = m_vertices[(i + 1) % n].point;
            const double dx = pb.x - pa.x, dy = pb.y - pa.y, chord = std::hypot(dx, dy);
            const double sweep = 4.0 * std::atan(bulge);
            const double radius = chord / (2.0 * std::sin(std::abs(sweep) / 2.0));
            const double offset = radius * std::cos(sweep / 2.0) * (bulge > 0 ? 1.0 : -1.0);
            const double cx = (pa.x + pb.x) / 2.0 - dy / chord * offset;
            const double cy = (pa.y + pb.y) / 2.0 + dx / chord * offset;
            double start = std::atan2(pa.y - cy, pa.x - cx), end = std::atan2(pb.y - cy, pb.x - cx);
            if (bulge < 0) std::swap(start, end);
            // Angles are in this polyline's plane frame, which the arc shares through its normal.
            auto* arc = new AcDbArc(f.toWorld({cx, cy, m_elevation}), std::abs(radius), normalizeAngle(start),
                                    normalizeAngle(end));
            arc->setNormal(m_normal);
            part = arc;
        }
        part->setPropertiesFrom(this, false);
        set.append(part);
    }
    return Acad::eOk;
}

// ---- point ----

Acad::ErrorStatus AcDbPoint::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_position = m * m_position;
    const AcGeVector3d n = m * m_normal;
    m_normal = n.isZeroLength() ? AcGeVector3d::kZAxis : n.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents(m_position, m_position);
    return Acad::eOk;
}
