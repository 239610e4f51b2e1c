#include "ed/hittest.h"

#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/dimension.h"
#include "db/foreignentity.h"
#include "db/foreignitems.h"
#include "ge/planeframe.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

namespace hosted {

namespace {

struct Segment {
    AcGePoint3d a, b;
};
using Outline = std::vector<Segment>;

constexpr int kChordsPerTurn = 128;

void addArc(Outline& out, const AcGePoint3d& c, double r, const AcGeVector3d& normal, double from, double to) {
    // Angles come from files and from arithmetic on huge coordinates: one that is no
    // number gives no outline, and no arc goes round more than once.
    if (!std::isfinite(from) || !std::isfinite(to)) return;
    if (to < from) to += 2 * std::numbers::pi;
    to = std::min(to, from + 2 * std::numbers::pi);
    const int n = std::max(1, static_cast<int>(std::ceil((to - from) / (2 * std::numbers::pi) * kChordsPerTurn)));
    // Angles are measured in the entity's own plane, as the file stores them.
    const AcGePlaneFrame frame = AcGePlaneFrame::fromNormal(normal);
    auto at = [&](double t) { return c + frame.direction(t) * r; };
    AcGePoint3d prev = at(from);
    for (int i = 1; i <= n; ++i) {
        const AcGePoint3d next = at(from + (to - from) * i / n);
        out.push_back({prev, next});
        prev = next;
    }
}

// An ELLIPSE kept as read: c + major cos t + minor sin t between its parameters.
bool addEllipse(Outline& out, const AcDbForeignEntity& e) {
    const hostdb::FilerItems* items = e.foreignData() ? e.foreignData()->find("AcDbEllipse") : nullptr;
    if (!items) return false;
    const AcGePoint3d c = hostdb::pointIn(*items, 10);
    const AcGeVector3d major = hostdb::pointIn(*items, 11).asVector();
    const AcGeVector3d minor = hostdb::extrusionOf(e.foreignData()).crossProduct(major) * hostdb::realIn(*items, 40, 1.0);
    const double from = hostdb::realIn(*items, 41, 0.0);
    double to = hostdb::realIn(*items, 42, 2 * std::numbers::pi);
    while (to <= from) to += 2 * std::numbers::pi;
    const int n = std::max(1, static_cast<int>(std::ceil((to - from) / (2 * std::numbers::pi) * kChordsPerTurn)));
    auto at = [&](double t) { return c + major * std::cos(t) + minor * std::sin(t); };
    AcGePoint3d prev = at(from);
    for (int i = 1; i <= n; ++i) {
        const AcGePoint3d next = at(from + (to - from) * i / n);
        out.push_back({prev, next});
        prev = next;
    }
    return true;
}

std::optional<Outline> curveOutline(const AcDbEntity& e) {
    Outline out;
    if (const auto* line = AcDbLine::cast(&e)) {
        out.push_back({line->startPoint(), line->endPoint()});
    } else if (const auto* arc = AcDbArc::cast(&e)) {
        addArc(out, arc->center(), arc->radius(), arc->normal(), arc->startAngle(), arc->endAngle());
    } else if (const auto* circle = AcDbCircle::cast(&e)) {
        addArc(out, circle->center(), circle->radius(), circle->normal(), 0, 2 * std::numbers::pi);
    } else if (const auto* point = AcDbPoint::cast(&e)) {
        out.push_back({point->position(), point->position()});
    } else if (const auto* foreign = AcDbForeignEntity::cast(&e); foreign && foreign->dxfName() == "ELLIPSE") {
        if (!addEllipse(out, *foreign)) return std::nullopt;
    } else if (const auto* leader = AcDbLeader::cast(&e)) {
        for (int i = 1; i < leader->numVertices(); ++i) out.push_back({leader->vertexAt(i - 1), leader->vertexAt(i)});
    } else {
        return std::nullopt;
    }
    return out;
}

// The simpler entities an entity is drawn with, owned here; empty when it is drawn as
// itself. Block references come with their attributes; an old-style polyline is its
// segments, not its box, which would take picks from whatever lies in its corners.
std::vector<std::unique_ptr<AcDbEntity>> parts(const AcDbEntity& e) {
    std::vector<std::unique_ptr<AcDbEntity>> out;
    const auto* foreign = AcDbForeignEntity::cast(&e);
    const bool oldPolyline = foreign && foreign->dxfName() == "POLYLINE";
    if (!AcDbPolyline::cast(&e) && !oldPolyline && !AcDbBlockReference::cast(&e) && !AcDbDimension::cast(&e))
        return out;
    AcDbVoidPtrArray pieces;
    if (e.explode(pieces) != Acad::eOk) return out;
    for (void* p : pieces) out.emplace_back(static_cast<AcDbEntity*>(p));
    if (const auto* ref = AcDbBlockReference::cast(&e)) {
        for (AcDbObjectId id : ref->attributeIds()) {
            const auto* att = id.isValid() && !id.isErased() ? AcDbEntity::cast(id.slot()->object) : nullptr;
            if (att && att->visibility() == AcDb::kVisible) {
                auto* copy = static_cast<AcDbEntity*>(att->clone());
                if (copy) out.emplace_back(copy);
            }
        }
    }
    return out;
}

double distance2d(const AcGePoint3d& p, const Segment& s) {
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (s.a.x + t * dx), p.y - (s.a.y + t * dy));
}

bool inside2d(const AcGePoint3d& p, const AcDbExtents& w) {
    return p.x >= w.minPoint().x && p.x <= w.maxPoint().x && p.y >= w.minPoint().y && p.y <= w.maxPoint().y;
}

// Liang-Barsky: does the segment meet the window?
bool segmentMeetsWindow(const Segment& s, const AcDbExtents& w) {
    double t0 = 0, t1 = 1;
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {s.a.x - w.minPoint().x, w.maxPoint().x - s.a.x, s.a.y - w.minPoint().y,
                         w.maxPoint().y - s.a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

bool boxes2dMeet(const AcDbExtents& a, const AcDbExtents& b) {
    return a.minPoint().x <= b.maxPoint().x && b.minPoint().x <= a.maxPoint().x &&
           a.minPoint().y <= b.maxPoint().y && b.minPoint().y <= a.maxPoint().y;
}

}  // namespace

bool hitsPoint(const AcDbEntity& entity, const AcGePoint3d& p, double aperture) {
    if (const auto outline = curveOutline(entity))
        return std::any_of(outline->begin(), outline->end(),
                           [&](const Segment& s) { return distance2d(p, s) <= aperture; });
    const auto pieces = parts(entity);
    if (!pieces.empty())
        return std::any_of(pieces.begin(), pieces.end(), [&](const auto& e) { return hitsPoint(*e, p, aperture); });
    AcDbExtents box;
    if (entity.getGeomExtents(box) != Acad::eOk || !box.isValid()) return false;
    const AcGePoint3d lo = box.minPoint(), hi = box.maxPoint();
    return p.x >= lo.x - aperture && p.x <= hi.x + aperture && p.y >= lo.y - aperture && p.y <= hi.y + aperture;
}

bool insideWindow(const AcDbEntity& entity, const AcDbExtents& window) {
    AcDbExtents box;
    if (entity.getGeomExtents(box) != Acad::eOk || !box.isValid()) return false;
    return inside2d(box.minPoint(), window) && inside2d(box.maxPoint(), window);
}

bool crossesWindow(const AcDbEntity& entity, const AcDbExtents& window) {
    if (insideWindow(entity, window)) return true;
    if (const auto outline = curveOutline(entity))
        return std::any_of(outline->begin(), outline->end(),
                           [&](const Segment& s) { return segmentMeetsWindow(s, window); });
    const auto pieces = parts(entity);
    if (!pieces.empty())
        return std::any_of(pieces.begin(), pieces.end(), [&](const auto& e) { return crossesWindow(*e, window); });
    AcDbExtents box;
    return entity.getGeomExtents(box) == Acad::eOk && box.isValid() && boxes2dMeet(box, window);
}

double pickAperture(AcDbDatabase& db) {
    constexpr double kViewPixels = 800.0, kPickPixels = 3.0, kEmptyDrawingSize = 12.0;
    AcDbExtents all;
    const auto* space = AcDbBlockTableRecord::cast(db.currentSpaceId().isValid() ? db.currentSpaceId().slot()->object
                                                                                   : nullptr);
    if (space)
        for (AcDbObjectId id : space->entityIds()) {
            const auto* e = id.isValid() && !id.isErased() ? AcDbEntity::cast(id.slot()->object) : nullptr;
            AcDbExtents box;
            if (e && e->getGeomExtents(box) == Acad::eOk && box.isValid()) all.addExt(box);
        }
    double size = kEmptyDrawingSize;
    if (all.isValid())
        size = std::max(all.maxPoint().x - all.minPoint().x, all.maxPoint().y - all.minPoint().y);
    if (size <= 0) size = kEmptyDrawingSize;
    return size / kViewPixels * kPickPixels;
}

}  // namespace hosted
