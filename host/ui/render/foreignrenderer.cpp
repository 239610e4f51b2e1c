// The kinds the host keeps as persisted data (hatches, splines, ellipses, old-style
// polylines, solids, traces, 3D faces, and whatever else), drawn from their group codes.

#include "ui/render/bulgepolyline.h"
#include "ui/render/hatchpattern.h"
#include "ui/render/renderercontext.h"

#include "db/foreignentity.h"
#include "ge/planeframe.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace hostui::render {

namespace {

using hostdb::FilerItem;
using hostdb::FilerItems;

double real(const FilerItem& item) { return std::strtod(item.value.c_str(), nullptr); }
int whole(const FilerItem& item) { return static_cast<int>(std::strtol(item.value.c_str(), nullptr, 10)); }

// The entity's own groups, after the common ones, in file order.
FilerItems geometryItems(const AcDbForeignEntity& e) {
    FilerItems out;
    if (const auto* data = e.foreignData())
        for (const auto& chunk : data->chunks())
            if (!chunk.subclass.empty() && chunk.subclass != "AcDbEntity")
                out.insert(out.end(), chunk.items.begin(), chunk.items.end());
    return out;
}

// A reader over the groups in order; the hatch boundary is a sequence, not a map.
class Cursor {
public:
    explicit Cursor(const FilerItems& items) : m_items(items) {}
    bool done() const { return m_pos >= m_items.size(); }
    const FilerItem& peek() const { return m_items[m_pos]; }
    // Moves to the next group with this code and takes it; false when there is none.
    bool seek(int code) {
        while (!done() && m_items[m_pos].code != code) ++m_pos;
        return !done();
    }
    double real(int code, double fallback = 0.0) {
        if (!done() && m_items[m_pos].code == code) return render::real(m_items[m_pos++]);
        return fallback;
    }
    int whole(int code, int fallback = 0) {
        if (!done() && m_items[m_pos].code == code) return render::whole(m_items[m_pos++]);
        return fallback;
    }
    // An X group with its Y (and Z when present) right after it.
    bool point(int xCode, AcGePoint3d& p) {
        if (done() || m_items[m_pos].code != xCode) return false;
        p = {render::real(m_items[m_pos++]), 0, 0};
        if (!done() && m_items[m_pos].code == xCode + 10) p.y = render::real(m_items[m_pos++]);
        if (!done() && m_items[m_pos].code == xCode + 20) p.z = render::real(m_items[m_pos++]);
        return true;
    }
    void skip() { ++m_pos; }

private:
    const FilerItems& m_items;
    std::size_t m_pos = 0;
};

double firstReal(const FilerItems& items, int code, double fallback) {
    for (const auto& item : items)
        if (item.code == code) return real(item);
    return fallback;
}

bool firstPoint(const FilerItems& items, int xCode, AcGePoint3d& p) {
    for (std::size_t i = 0; i + 1 < items.size(); ++i)
        if (items[i].code == xCode && items[i + 1].code == xCode + 10) {
            p = {real(items[i]), real(items[i + 1]), i + 2 < items.size() && items[i + 2].code == xCode + 20 ? real(items[i + 2]) : 0};
            return true;
        }
    return false;
}

AcGeVector3d extrusion(const FilerItems& items) {
    AcGePoint3d n;
    if (!firstPoint(items, 210, n)) return AcGeVector3d::kZAxis;
    const AcGeVector3d v = n.asVector();
    return v.isZeroLength() ? AcGeVector3d::kZAxis : v.normal();
}

std::vector<AcGePoint3d> allPoints(const FilerItems& items, int xCode) {
    std::vector<AcGePoint3d> out;
    Cursor c(items);
    while (c.seek(xCode)) {
        AcGePoint3d p;
        if (!c.point(xCode, p)) c.skip();
        else out.push_back(p);
    }
    return out;
}

// A point of a B-spline (rational when weights are given) by de Boor's algorithm.
AcGePoint3d deBoor(int degree, const std::vector<double>& knots, const std::vector<AcGePoint3d>& ctrl,
                   const std::vector<double>& weights, double t) {
    const int n = static_cast<int>(ctrl.size());
    int k = degree;
    while (k < n - 1 && t >= knots[static_cast<std::size_t>(k + 1)]) ++k;
    struct H { double x, y, z, w; };
    std::vector<H> d(static_cast<std::size_t>(degree + 1));
    for (int j = 0; j <= degree; ++j) {
        const auto idx = static_cast<std::size_t>(j + k - degree);
        const double w = weights.size() == ctrl.size() ? weights[idx] : 1.0;
        d[static_cast<std::size_t>(j)] = {ctrl[idx].x * w, ctrl[idx].y * w, ctrl[idx].z * w, w};
    }
    for (int r = 1; r <= degree; ++r)
        for (int j = degree; j >= r; --j) {
            const double lo = knots[static_cast<std::size_t>(j + k - degree)];
            const double hi = knots[static_cast<std::size_t>(j + 1 + k - r)];
            const double a = hi - lo > 0 ? (t - lo) / (hi - lo) : 0.0;
            H& cur = d[static_cast<std::size_t>(j)];
            const H& prev = d[static_cast<std::size_t>(j - 1)];
            cur = {(1 - a) * prev.x + a * cur.x, (1 - a) * prev.y + a * cur.y, (1 - a) * prev.z + a * cur.z,
                   (1 - a) * prev.w + a * cur.w};
        }
    const H& p = d[static_cast<std::size_t>(degree)];
    return p.w != 0 ? AcGePoint3d(p.x / p.w, p.y / p.w, p.z / p.w) : AcGePoint3d(p.x, p.y, p.z);
}

}  // namespace

// Close to the drawing program's curve through the same points, not equal to it.
std::vector<AcGePoint3d> smoothThrough(const std::vector<AcGePoint3d>& p) {
    constexpr int kSteps = 16;
    std::vector<AcGePoint3d> out;
    const std::size_t n = p.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const AcGePoint3d& p0 = p[i == 0 ? 0 : i - 1];
        const AcGePoint3d& p1 = p[i];
        const AcGePoint3d& p2 = p[i + 1];
        const AcGePoint3d& p3 = p[std::min(i + 2, n - 1)];
        for (int k = 0; k < kSteps; ++k) {
            const double t = static_cast<double>(k) / kSteps, t2 = t * t, t3 = t2 * t;
            auto blend = [&](double a, double b, double c, double d) {
                return 0.5 * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (3 * b - a - 3 * c + d) * t3);
            };
            out.push_back({blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y), blend(p0.z, p1.z, p2.z, p3.z)});
        }
    }
    out.push_back(p.back());
    return out;
}

namespace {

// The curve of a spline in world points: through its control points when it has them
// (and a knot vector that fits), else along its fit points.
std::vector<AcGePoint3d> splinePoints(const FilerItems& items) {
    std::vector<double> knots, weights;
    int degree = 3;
    for (const auto& item : items) {
        if (item.code == 40) knots.push_back(real(item));
        else if (item.code == 41) weights.push_back(real(item));
        else if (item.code == 71) degree = whole(item);
    }
    const std::vector<AcGePoint3d> ctrl = allPoints(items, 10);
    const int n = static_cast<int>(ctrl.size());
    if (n >= 2 && degree >= 1 && degree < n && knots.size() == static_cast<std::size_t>(n + degree + 1)) {
        const double t0 = knots[static_cast<std::size_t>(degree)], t1 = knots[static_cast<std::size_t>(n)];
        const int samples = std::clamp(n * 16, 32, 2048);
        std::vector<AcGePoint3d> out;
        out.reserve(static_cast<std::size_t>(samples + 1));
        for (int i = 0; i <= samples; ++i) out.push_back(deBoor(degree, knots, ctrl, weights, t0 + (t1 - t0) * i / samples));
        return out;
    }
    const std::vector<AcGePoint3d> fit = allPoints(items, 11);
    return fit.size() >= 3 ? smoothThrough(fit) : (fit.size() == 2 ? fit : ctrl);
}

void drawWorldPolyline(RenderContext& rc, const Placement& at, const std::vector<AcGePoint3d>& pts, bool closed, QRgb color) {
    std::vector<QPointF> out;
    out.reserve(pts.size());
    for (const auto& p : pts) out.push_back(rc.map(at, p));
    if (out.size() >= 2) rc.sink().polyline(out, closed, {color, 0.0});
}

void drawEllipse(RenderContext& rc, const Placement& at, const FilerItems& items, QRgb color) {
    AcGePoint3d center, majorEnd;
    if (!firstPoint(items, 10, center) || !firstPoint(items, 11, majorEnd)) return;
    const AcGeVector3d major = majorEnd.asVector();
    const AcGeVector3d minor = extrusion(items).crossProduct(major) * firstReal(items, 40, 1.0);
    const double a = firstReal(items, 41, 0.0);
    double b = firstReal(items, 42, 2 * std::numbers::pi);
    while (b <= a) b += 2 * std::numbers::pi;
    const int n = arcSegments(b - a);
    std::vector<QPointF> out;
    for (int i = 0; i <= n; ++i) {
        const double t = a + (b - a) * i / n;
        out.push_back(rc.map(at, center + major * std::cos(t) + minor * std::sin(t)));
    }
    rc.sink().polyline(out, false, {color, 0.0});
}

// Solids and traces: corners in the plane's coordinates, drawn filled in the order
// 1, 2, 4, 3 (the third and fourth corners are stored crosswise).
void drawSolid(RenderContext& rc, const Placement& at, const FilerItems& items, QRgb color) {
    const auto frame = AcGePlaneFrame::fromNormal(extrusion(items));
    AcGePoint3d c[4];
    int found = 0;
    for (int k = 0; k < 4; ++k)
        if (firstPoint(items, 10 + k, c[k])) found = k + 1;
    if (found < 3) return;
    if (found == 3) c[3] = c[2];
    const std::vector<QPointF> ring{rc.map(at, frame.toWorld(c[0])), rc.map(at, frame.toWorld(c[1])),
                                    rc.map(at, frame.toWorld(c[3])), rc.map(at, frame.toWorld(c[2]))};
    rc.sink().fill(std::span(&ring, 1), color);
}

void drawFace(RenderContext& rc, const Placement& at, const FilerItems& items, QRgb color) {
    AcGePoint3d c[4];
    for (int k = 0; k < 4; ++k)
        if (!firstPoint(items, 10 + k, c[k])) return;
    int hidden = 0;
    for (const auto& item : items)
        if (item.code == 70) hidden = whole(item);
    std::vector<QPointF> edges;
    for (int k = 0; k < 4; ++k) {
        if (hidden & (1 << k)) continue;
        edges.push_back(rc.map(at, c[k]));
        edges.push_back(rc.map(at, c[(k + 1) % 4]));
    }
    if (!edges.empty()) rc.sink().segments(edges, {color, 0.0});
}

// Old-style polylines: the header record and its VERTEX records.
void drawOldPolyline(RenderContext& rc, const Placement& at, const AcDbForeignEntity& e, const FilerItems& items,
                     QRgb color) {
    int flags = 0;
    double defaultStart = 0, defaultEnd = 0;
    for (const auto& item : items) {
        if (item.code == 70) flags = whole(item);
        else if (item.code == 40) defaultStart = real(item);
        else if (item.code == 41) defaultEnd = real(item);
    }
    AcGePoint3d elevationPoint;
    firstPoint(items, 10, elevationPoint);
    const bool threeD = (flags & (8 | 16 | 64)) != 0;
    std::vector<BulgeVertex> vertices;
    std::vector<std::array<int, 4>> faces;
    for (const auto& record : e.followers()) {
        if (record.empty() || record.front().value != "VERTEX") continue;
        BulgeVertex v{{}, 0, defaultStart, defaultEnd};
        int vflags = 0;
        std::array<int, 4> face{0, 0, 0, 0};
        firstPoint(record, 10, v.point);
        for (const auto& item : record) {
            switch (item.code) {
                case 40: v.startWidth = real(item); break;
                case 41: v.endWidth = real(item); break;
                case 42: v.bulge = real(item); break;
                case 70: vflags = whole(item); break;
                case 71: case 72: case 73: case 74: face[static_cast<std::size_t>(item.code - 71)] = whole(item); break;
                default: break;
            }
        }
        if ((vflags & 128) && !(vflags & 64)) {
            faces.push_back(face);  // a face record of a polyface mesh
            continue;
        }
        if (vflags & 16) continue;  // a control point of a spline fit, not on the curve
        if (!threeD) v.point.z = elevationPoint.z;
        vertices.push_back(v);
    }
    if (!faces.empty()) {
        // Face corners are 1-based vertex numbers; a negative one marks a hidden edge.
        std::vector<QPointF> edges;
        for (const auto& f : faces) {
            int count = 0;
            while (count < 4 && f[static_cast<std::size_t>(count)] != 0) ++count;
            for (int k = 0; k < count; ++k) {
                const int a = f[static_cast<std::size_t>(k)], b = f[static_cast<std::size_t>((k + 1) % count)];
                const auto ia = static_cast<std::size_t>(std::abs(a) - 1), ib = static_cast<std::size_t>(std::abs(b) - 1);
                if (a < 0 || ia >= vertices.size() || ib >= vertices.size()) continue;
                edges.push_back(rc.map(at, vertices[ia].point));
                edges.push_back(rc.map(at, vertices[ib].point));
            }
        }
        if (!edges.empty()) rc.sink().segments(edges, {color, 0.0});
        return;
    }
    if (threeD) {
        std::vector<AcGePoint3d> pts;
        for (const auto& v : vertices) pts.push_back(v.point);
        drawWorldPolyline(rc, at, pts, (flags & 1) != 0, color);
        return;
    }
    drawBulgePolyline(rc, vertices, (flags & 1) != 0, extrusion(items), at, color);
}

}  // namespace

void RenderContext::drawForeign(const AcDbForeignEntity& e, const Placement& at, QRgb color) {
    const std::string& kind = e.dxfName();
    const FilerItems items = geometryItems(e);
    if (kind == "HATCH") {
        drawHatch(*this, at, items, color);
    } else if (kind == "SPLINE") {
        drawWorldPolyline(*this, at, splinePoints(items), false, color);
    } else if (kind == "ELLIPSE") {
        drawEllipse(*this, at, items, color);
    } else if (kind == "SOLID" || kind == "TRACE") {
        drawSolid(*this, at, items, color);
    } else if (kind == "3DFACE") {
        drawFace(*this, at, items, color);
    } else if (kind == "POLYLINE") {
        drawOldPolyline(*this, at, e, items, color);
    } else {
        // Anything else is shown by the points it keeps.
        AcDbExtents ext;
        if (e.getGeomExtents(ext) != Acad::eOk) return;
        for (const auto& p : allPoints(items, 10)) m_sink.point(map(at, p), color);
    }
}

}  // namespace hostui::render
