#include "ui/render/bulgepolyline.h"

#include "ge/planeframe.h"

#include <cmath>

namespace hostui::render {

namespace {

// The points of one segment in the plane's coordinates, from a to b, arc or straight.
void segmentPoints(std::vector<AcGePoint3d>& out, const AcGePoint3d& a, const AcGePoint3d& b, double bulge) {
    if (std::abs(bulge) < 1e-12) {
        out.push_back(a);
        out.push_back(b);
        return;
    }
    const double sweep = 4.0 * std::atan(bulge);
    const double dx = b.x - a.x, dy = b.y - a.y, chord = std::hypot(dx, dy);
    if (chord < 1e-12) {
        out.push_back(a);
        out.push_back(b);
        return;
    }
    // The centre lies on the chord's perpendicular bisector, at a signed distance that
    // makes the chord subtend the sweep.
    const double h = chord / (2.0 * std::tan(sweep / 2.0));
    const double mx = (a.x + b.x) / 2.0, my = (a.y + b.y) / 2.0;
    const double cx = mx - dy / chord * h, cy = my + dx / chord * h;
    const double radius = std::hypot(a.x - cx, a.y - cy);
    const double start = std::atan2(a.y - cy, a.x - cx);
    const int n = arcSegments(sweep);
    for (int i = 0; i <= n; ++i) {
        const double t = start + sweep * i / n;
        out.push_back({cx + radius * std::cos(t), cy + radius * std::sin(t), a.z + (b.z - a.z) * i / n});
    }
}

double planeScale(const AcGeMatrix3d& m) { return std::sqrt(std::abs(m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0))); }

// A band along the points whose width runs from w0 to w1.
std::vector<QPointF> band(const std::vector<QPointF>& pts, double w0, double w1) {
    std::vector<QPointF> left, right;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF d = pts[std::min(i + 1, n - 1)] - pts[i == 0 ? 0 : i - 1];
        const double len = std::hypot(d.x(), d.y());
        const QPointF normal = len > 0 ? QPointF(-d.y() / len, d.x() / len) : QPointF(0, 0);
        const double w = (w0 + (w1 - w0) * static_cast<double>(i) / static_cast<double>(n > 1 ? n - 1 : 1)) / 2.0;
        left.push_back(pts[i] + normal * w);
        right.push_back(pts[i] - normal * w);
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    return left;
}

}  // namespace

void drawBulgePolyline(RenderContext& rc, const std::vector<BulgeVertex>& vertices, bool closed,
                       const AcGeVector3d& normal, const Placement& at, QRgb color) {
    if (vertices.empty()) return;
    if (vertices.size() == 1) {
        rc.sink().point(rc.map(at, AcGePlaneFrame::fromNormal(normal).toWorld(vertices[0].point)), color);
        return;
    }
    const auto frame = AcGePlaneFrame::fromNormal(normal);
    const double widthScale = planeScale(at.xform);
    const std::size_t segments = closed ? vertices.size() : vertices.size() - 1;
    std::vector<QPointF> thin;
    std::vector<AcGePoint3d> local;
    auto flushThin = [&] {
        if (thin.size() > 1) rc.sink().polyline(thin, false, {color, 0.0});
        thin.clear();
    };
    for (std::size_t i = 0; i < segments; ++i) {
        const BulgeVertex& v = vertices[i];
        const BulgeVertex& w = vertices[(i + 1) % vertices.size()];
        local.clear();
        segmentPoints(local, v.point, w.point, v.bulge);
        std::vector<QPointF> world;
        world.reserve(local.size());
        for (const auto& p : local) world.push_back(rc.map(at, frame.toWorld(p)));
        if (v.startWidth > 0 || v.endWidth > 0) {
            flushThin();
            const std::vector<QPointF> ring = band(world, v.startWidth * widthScale, v.endWidth * widthScale);
            rc.sink().fill(std::span(&ring, 1), color);
            continue;
        }
        if (!thin.empty() && thin.back() == world.front()) world.erase(world.begin());
        thin.insert(thin.end(), world.begin(), world.end());
    }
    flushThin();
}

}  // namespace hostui::render
