#include "foreignentity.h"

#include "conics.h"
#include "foreignitems.h"
#include "hatchgeometry.h"
#include "ocsmap.h"
#include "oldpolyline.h"

#include "../ge/planeframe.h"
#include "../rx/numbertext.h"

#include <cmath>
#include <numbers>
#include <optional>

ACRX_DEFINE_MEMBERS(AcDbForeignEntity, AcDbEntity, "")
ACRX_DEFINE_MEMBERS(AcDbBlockBegin, AcDbEntity, "BLOCK")
ACRX_DEFINE_MEMBERS(AcDbBlockEnd, AcDbEntity, "ENDBLK")
ACRX_DEFINE_MEMBERS(AcDbSequenceEnd, AcDbEntity, "SEQEND")

namespace {
using hostdb::realOf;
using hostdb::textOf;

// Kinds whose point groups (10..18 with 20.., 30..) are world coordinates, so that
// moving the points moves the entity.
bool hasWorldPoints(const std::string& kind) {
    return kind == "SPLINE" || kind == "3DFACE" || kind == "XLINE" || kind == "RAY" || kind == "MLINE" ||
           kind == "TOLERANCE" || kind == "IMAGE" || kind == "WIPEOUT";
}

// The last point group of a kind: an image's size and clip boundary (13, 14) are in
// pixels and stay.
int lastPointCode(const std::string& kind) { return kind == "IMAGE" || kind == "WIPEOUT" ? 12 : 18; }

// Kinds whose corners (10..13) lie in the plane of their extrusion direction, in that
// plane's own coordinates.
bool hasPlanePoints(const std::string& kind) { return kind == "SOLID" || kind == "TRACE"; }

// Vectors (directions, axis lengths) of a kind, moved without the translation.
bool isVectorCode(const std::string& kind, int xCode) {
    return (kind == "ELLIPSE" && xCode == 11) || ((kind == "XLINE" || kind == "RAY") && xCode == 11) ||
           ((kind == "SPLINE" || kind == "MLINE") && (xCode == 12 || xCode == 13)) ||
           (kind == "TOLERANCE" && xCode == 11) || ((kind == "IMAGE" || kind == "WIPEOUT") && (xCode == 11 || xCode == 12));
}

template <class Visit>
void forEachPoint(hostdb::FilerItems& items, Visit visit, int firstCode = 10, int lastCode = 18) {
    for (std::size_t i = 0; i + 2 < items.size(); ++i) {
        const int c = items[i].code;
        if (c < firstCode || c > lastCode || items[i + 1].code != c + 10 || items[i + 2].code != c + 20) continue;
        visit(c, items[i].value, items[i + 1].value, items[i + 2].value);
        i += 2;
    }
}

AcGePoint3d readPoint(const std::string& x, const std::string& y, const std::string& z) {
    return {realOf(x), realOf(y), realOf(z)};
}

void writePoint(const AcGePoint3d& p, std::string& x, std::string& y, std::string& z) {
    x = textOf(p.x);
    y = textOf(p.y);
    z = textOf(p.z);
}

// Kinds that always have an extrusion direction, stated or not; a spline states one
// only when it is planar.
bool hasExtrusion(const std::string& kind) {
    return kind == "ELLIPSE" || kind == "MLINE" || kind == "TOLERANCE" || hasPlanePoints(kind);
}

// Sets the extrusion direction where the entity states one; a kind that always has one
// gets it added.
void setExtrusion(hostdb::ForeignData& data, const std::string& kind, const AcGeVector3d& n) {
    if (hostdb::geometryItem(&data, 210) || hasExtrusion(kind)) hostdb::setExtrusion(data, n);
}

// An ellipse keeps its centre, its major semi-axis and the ratio of the minor one, and
// the parameters it runs between.
struct Ellipse {
    hostdb::FilerItems* items = nullptr;
    AcGePoint3d center;
    AcGeVector3d major, normal;
    double ratio = 1.0, start = 0.0, end = 2.0 * std::numbers::pi;
};

std::optional<Ellipse> ellipseOf(const hostdb::ForeignData* data) {
    const hostdb::FilerItems* items = data ? data->find("AcDbEllipse") : nullptr;
    if (!items) return std::nullopt;
    Ellipse e;
    e.items = const_cast<hostdb::FilerItems*>(items);
    e.center = hostdb::pointIn(*items, 10);
    e.major = hostdb::pointIn(*items, 11).asVector();
    e.normal = hostdb::extrusionOf(data);
    e.ratio = hostdb::realIn(*items, 40, 1.0);
    e.start = hostdb::realIn(*items, 41, 0.0);
    e.end = hostdb::realIn(*items, 42, 2.0 * std::numbers::pi);
    return e;
}
}  // namespace

namespace hostdb {

void setEllipseItems(FilerItems& items, const AcGePoint3d& center, const AcGeVector3d& u, const AcGeVector3d& v,
                     double start, double end) {
    const PrincipalAxes axes = principalAxes(u, v);
    const AcGeVector3d n = u.crossProduct(v).normal();
    const double ratio = axes.major.length() > 0 ? axes.minor.length() / axes.major.length() : 1.0;
    const double from = normalizedAngle(start - axes.shift);
    items = {realItem(10, center.x), realItem(20, center.y), realItem(30, center.z),
             realItem(11, axes.major.x), realItem(21, axes.major.y), realItem(31, axes.major.z),
             realItem(210, n.x), realItem(220, n.y), realItem(230, n.z),
             realItem(40, ratio), realItem(41, from), realItem(42, from + (end - start))};
}

}  // namespace hostdb

AcRxObject* AcDbForeignEntity::clone() const {
    auto* copy = new AcDbForeignEntity(*this);
    for (auto& record : copy->m_followers) {
        // The handle and the owner come before the first class marker; an owner inside
        // an application group ({ACAD_REACTORS) is a reference of another kind.
        bool inGroup = false;
        for (auto it = record.begin(); it != record.end() && it->code != 100;) {
            if (it->code == 102) inGroup = !inGroup;
            if (it->code == 5 || (it->code == 330 && !inGroup)) it = record.erase(it);
            else ++it;
        }
    }
    return copy;
}

// A shape is placed as a text is: its insertion point, and its base line (size times
// the X scale along the rotation) and height (size) in the plane of its normal.
Acad::ErrorStatus AcDbForeignEntity::transformShape(const AcGeMatrix3d& m) {
    if (!foreignData() || !foreignData()->find("AcDbShape")) return Acad::eNotApplicable;
    hostdb::FilerItems* items = &foreign().chunk("AcDbShape");
    constexpr double kDegree = std::numbers::pi / 180.0;
    const auto from = AcGePlaneFrame::fromNormal(hostdb::extrusionOf(foreignData()));
    const double rotation = hostdb::realIn(*items, 50) * kDegree;
    const AcGeVector3d along = m * from.direction(rotation), up = m * from.direction(rotation + std::numbers::pi / 2);
    const AcGeVector3d n = along.crossProduct(up);
    if (n.isZeroLength()) return Acad::eNotApplicable;
    const auto to = AcGePlaneFrame::fromNormal(n);
    hostdb::setPointIn(*items, 10, m * hostdb::pointIn(*items, 10));
    hostdb::setRealIn(*items, 50, hostdb::normalizedAngle(to.angleOf(along)) / kDegree);
    hostdb::setRealIn(*items, 40, hostdb::realIn(*items, 40) * up.length());
    hostdb::setRealIn(*items, 39, hostdb::realIn(*items, 39) * n.length() / (along.length() * up.length()));
    if (hostdb::itemOf(*items, 41)) hostdb::setRealIn(*items, 41, hostdb::realIn(*items, 41) * along.length() / up.length());
    else if (std::abs(along.length() - up.length()) > 1e-12 * up.length())
        items->push_back(hostdb::realItem(41, along.length() / up.length()));
    hostdb::setExtrusion(foreign(), to.normal);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbForeignEntity::transformEllipse(const AcGeMatrix3d& m) {
    const auto e = ellipseOf(foreignData());
    if (!e) return Acad::eNotApplicable;
    // The image of c + u cos t + v sin t is m c + (m u) cos t + (m v) sin t; the new
    // axes come from those two, whatever the map did to the shape.
    const AcGeVector3d u = m * e->major, v = m * (e->normal.crossProduct(e->major) * e->ratio);
    if (u.crossProduct(v).isZeroLength()) return Acad::eNotApplicable;
    hostdb::setEllipseItems(*e->items, m * e->center, u, v, e->start, e->end);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbForeignEntity::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (m_dxfName == "POLYLINE") return hostdb::transformOldPolyline(*this, m);
    if (m_dxfName == "HATCH") return hostdb::transformHatch(*this, m);
    if (m_dxfName == "ELLIPSE") return transformEllipse(m);
    if (m_dxfName == "SHAPE") return transformShape(m);
    if (hasPlanePoints(m_dxfName)) return transformPlanePoints(m);
    // Solids and regions (their shape is in an embedded modeller's data), proxies and
    // every other kind the host cannot place refuse and stay as they are.
    if (!hasWorldPoints(m_dxfName)) return Acad::eNotApplicable;
    // The plane of a planar kind goes with its axes: under a mirror or an uneven scale
    // the normal is not simply the transformed normal.
    const hostdb::OcsMap plane(m, hostdb::extrusionOf(foreignData()));
    if (plane.degenerate() && hasExtrusion(m_dxfName)) return Acad::eNotApplicable;
    const int last = lastPointCode(m_dxfName);
    for (auto& chunk : foreign().chunks()) {
        if (!hostdb::isGeometryChunk(chunk)) continue;
        forEachPoint(chunk.items, [&](int code, std::string& x, std::string& y, std::string& z) {
            const AcGePoint3d p = readPoint(x, y, z);
            writePoint(isVectorCode(m_dxfName, code) ? AcGePoint3d::kOrigin + m * p.asVector() : m * p, x, y, z);
        }, 10, last);
    }
    if (!plane.degenerate()) setExtrusion(foreign(), m_dxfName, plane.newNormal());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbForeignEntity::transformPlanePoints(const AcGeMatrix3d& m) {
    // The corners are taken to the new plane as they are: a mirror turns the plane over
    // and the corners keep their order.
    const hostdb::OcsMap plane(m, hostdb::extrusionOf(foreignData()));
    if (plane.degenerate()) return Acad::eNotApplicable;
    for (auto& chunk : foreign().chunks()) {
        if (!hostdb::isGeometryChunk(chunk)) continue;
        forEachPoint(chunk.items, [&](int, std::string& x, std::string& y, std::string& z) {
            writePoint(plane.point(readPoint(x, y, z)), x, y, z);
        }, 10, 13);
    }
    setExtrusion(foreign(), m_dxfName, plane.newNormal());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbForeignEntity::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    if (!foreignData()) return Acad::eInvalidExtents;
    if (m_dxfName == "POLYLINE") return hostdb::oldPolylineExtents(*this, ext);
    if (m_dxfName == "HATCH") return hostdb::hatchExtents(*this, ext);
    if (m_dxfName == "ELLIPSE")
        if (const auto e = ellipseOf(foreignData())) {
            const AcGeVector3d minor = e->normal.crossProduct(e->major) * e->ratio;
            double end = e->end;
            while (end <= e->start) end += 2.0 * std::numbers::pi;
            hostdb::addEllipseExtents(ext, e->center, e->major, minor, e->start, end);
            return Acad::eOk;
        }
    const bool plane = hasPlanePoints(m_dxfName);
    const auto frame = AcGePlaneFrame::fromNormal(hostdb::extrusionOf(foreignData()));
    const int last = lastPointCode(m_dxfName);
    for (auto chunk : foreignData()->chunks()) {
        if (!hostdb::isGeometryChunk(chunk)) continue;
        forEachPoint(chunk.items, [&](int code, std::string& x, std::string& y, std::string& z) {
            if (plane && code <= 13) ext.addPoint(frame.toWorld(readPoint(x, y, z)));
            else if (!plane && !isVectorCode(m_dxfName, code) && (code == 10 || hasWorldPoints(m_dxfName)))
                ext.addPoint(readPoint(x, y, z));
        }, 10, last);
    }
    return ext.isValid() ? Acad::eOk : Acad::eInvalidExtents;
}

Acad::ErrorStatus AcDbForeignEntity::explode(AcDbVoidPtrArray& parts) const {
    if (m_dxfName == "POLYLINE") return hostdb::explodeOldPolyline(*this, parts);
    return Acad::eNotApplicable;
}
