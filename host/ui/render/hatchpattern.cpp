#include "ui/render/hatchpattern.h"

#include "ge/planeframe.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace hostui::render {

namespace {

using hostdb::FilerItem;
using hostdb::FilerItems;

constexpr double kDegree = std::numbers::pi / 180.0;

// Walks the groups of a hatch in order, as its boundary is a sequence with counts.
class Items {
public:
    explicit Items(const FilerItems& items) : m_items(items) {}
    bool done() const { return m_pos >= m_items.size(); }
    int code() const { return done() ? -1 : m_items[m_pos].code; }
    double real() { return done() ? 0.0 : std::strtod(m_items[m_pos++].value.c_str(), nullptr); }
    int whole() { return done() ? 0 : static_cast<int>(std::strtol(m_items[m_pos++].value.c_str(), nullptr, 10)); }
    // Takes the group when it has this code; the fallback otherwise.
    double real(int c, double fallback = 0.0) { return code() == c ? real() : fallback; }
    int whole(int c, int fallback = 0) { return code() == c ? whole() : fallback; }
    QPointF point(int xCode) {
        const double x = real(xCode);
        const double y = real(xCode + 10);
        return {x, y};
    }
    // Moves to the next group with this code; false at the end.
    bool seek(int c) {
        while (!done() && code() != c) ++m_pos;
        return !done();
    }
    void skip() { ++m_pos; }

private:
    const FilerItems& m_items;
    std::size_t m_pos = 0;
};

void arcPoints(std::vector<QPointF>& out, QPointF center, QPointF major, double ratio, double a, double b, bool ccw) {
    const QPointF minor(-major.y() * ratio, major.x() * ratio);
    if (!ccw) {
        // A clockwise edge stores the angles of its mirror image.
        a = -a;
        b = -b;
        while (b >= a) b -= 2 * std::numbers::pi;
    } else {
        while (b <= a) b += 2 * std::numbers::pi;
    }
    const int n = arcSegments(b - a);
    for (int i = 0; i <= n; ++i) {
        const double t = a + (b - a) * i / n;
        out.push_back(center + major * std::cos(t) + minor * std::sin(t));
    }
}

QPointF splinePoint(int degree, const std::vector<double>& knots, const std::vector<QPointF>& ctrl,
                    const std::vector<double>& weights, double t) {
    const int n = static_cast<int>(ctrl.size());
    int k = degree;
    while (k < n - 1 && t >= knots[static_cast<std::size_t>(k + 1)]) ++k;
    std::vector<QPointF> d;
    std::vector<double> w;
    for (int j = 0; j <= degree; ++j) {
        const auto idx = static_cast<std::size_t>(j + k - degree);
        const double wt = weights.size() == ctrl.size() ? weights[idx] : 1.0;
        d.push_back(ctrl[idx] * wt);
        w.push_back(wt);
    }
    for (int r = 1; r <= degree; ++r)
        for (int j = degree; j >= r; --j) {
            const double lo = knots[static_cast<std::size_t>(j + k - degree)];
            const double hi = knots[static_cast<std::size_t>(j + 1 + k - r)];
            const double a = hi > lo ? (t - lo) / (hi - lo) : 0.0;
            const auto uj = static_cast<std::size_t>(j);
            d[uj] = d[uj - 1] * (1 - a) + d[uj] * a;
            w[uj] = w[uj - 1] * (1 - a) + w[uj] * a;
        }
    const auto last = static_cast<std::size_t>(degree);
    return w[last] != 0 ? d[last] / w[last] : d[last];
}

void splineEdge(Items& it, std::vector<QPointF>& out) {
    const int degree = it.whole(94, 3);
    it.whole(73);
    it.whole(74);
    const int knotCount = it.whole(95);
    const int ctrlCount = it.whole(96);
    std::vector<double> knots, weights;
    std::vector<QPointF> ctrl;
    for (int i = 0; i < knotCount && it.code() == 40; ++i) knots.push_back(it.real());
    for (int i = 0; i < ctrlCount && it.code() == 10; ++i) {
        ctrl.push_back(it.point(10));
        if (it.code() == 42) weights.push_back(it.real());
    }
    std::vector<QPointF> fit;
    const int fitCount = it.whole(97);
    for (int i = 0; i < fitCount && it.code() == 11; ++i) fit.push_back(it.point(11));
    if (it.code() == 12) it.point(12);
    if (it.code() == 13) it.point(13);
    const int n = static_cast<int>(ctrl.size());
    if (n > degree && degree >= 1 && knots.size() == static_cast<std::size_t>(n + degree + 1)) {
        const double t0 = knots[static_cast<std::size_t>(degree)], t1 = knots[static_cast<std::size_t>(n)];
        const int samples = std::clamp(n * 16, 32, 1024);
        for (int i = 0; i <= samples; ++i) out.push_back(splinePoint(degree, knots, ctrl, weights, t0 + (t1 - t0) * i / samples));
    } else {
        out.insert(out.end(), fit.begin(), fit.end());
    }
}

// One boundary path as a ring of points in the hatch's plane.
std::vector<QPointF> boundaryPath(Items& it) {
    std::vector<QPointF> ring;
    const int flags = it.whole(92);
    if (flags & 2) {
        const bool hasBulge = it.whole(72) != 0;
        it.whole(73);
        const int count = it.whole(93);
        struct V { QPointF p; double bulge; };
        std::vector<V> vs;
        for (int i = 0; i < count && it.code() == 10; ++i) {
            V v{it.point(10), 0.0};
            if (hasBulge && it.code() == 42) v.bulge = it.real();
            vs.push_back(v);
        }
        for (std::size_t i = 0; i < vs.size(); ++i) {
            const V& a = vs[i];
            const V& b = vs[(i + 1) % vs.size()];
            if (std::abs(a.bulge) < 1e-12) {
                ring.push_back(a.p);
                continue;
            }
            const double sweep = 4 * std::atan(a.bulge);
            const QPointF d = b.p - a.p;
            const double chord = std::hypot(d.x(), d.y());
            if (chord <= 0) continue;
            const double h = chord / (2 * std::tan(sweep / 2));
            const QPointF c = (a.p + b.p) / 2 + QPointF(-d.y(), d.x()) / chord * h;
            const double r = std::hypot(a.p.x() - c.x(), a.p.y() - c.y());
            const double start = std::atan2(a.p.y() - c.y(), a.p.x() - c.x());
            const int n = arcSegments(sweep);
            for (int k = 0; k < n; ++k) {
                const double t = start + sweep * k / n;
                ring.push_back(c + QPointF(std::cos(t), std::sin(t)) * r);
            }
        }
    } else {
        const int edges = it.whole(93);
        for (int e = 0; e < edges; ++e) {
            const int type = it.whole(72);
            if (type == 1) {
                const QPointF a = it.point(10), b = it.point(11);
                ring.push_back(a);
                ring.push_back(b);
            } else if (type == 2) {
                const QPointF c = it.point(10);
                const double r = it.real(40);
                const double a = it.real(50) * kDegree, b = it.real(51) * kDegree;
                const bool ccw = it.whole(73, 1) != 0;
                arcPoints(ring, c, QPointF(r, 0), 1.0, a, b, ccw);
            } else if (type == 3) {
                const QPointF c = it.point(10), major = it.point(11);
                const double ratio = it.real(40, 1.0);
                const double a = it.real(50) * kDegree, b = it.real(51) * kDegree;
                const bool ccw = it.whole(73, 1) != 0;
                arcPoints(ring, c, major, ratio, a, b, ccw);
            } else if (type == 4) {
                splineEdge(it, ring);
            } else {
                break;  // an edge type that cannot be read: the rest of this path is lost
            }
        }
    }
    const int sources = it.whole(97);
    for (int i = 0; i < sources && it.code() == 330; ++i) it.skip();
    return ring;
}

}  // namespace

void clipPattern(const std::vector<std::vector<QPointF>>& rings, const std::vector<PatternLine>& pattern,
                 std::vector<QPointF>& pieces, std::vector<QPointF>& dots, int maxLines) {
    double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;
    for (const auto& ring : rings)
        for (const auto& p : ring) {
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            bottom = std::min(bottom, p.y());
            top = std::max(top, p.y());
        }
    if (left > right) return;
    const QRectF box(QPointF(left, bottom), QPointF(right, top));
    const QPointF corners[4] = {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()};
    std::vector<double> hits;
    for (const PatternLine& line : pattern) {
        const QPointF u(std::cos(line.angle), std::sin(line.angle)), n(-u.y(), u.x());
        const double spacing = QPointF::dotProduct(line.offset, n);
        if (std::abs(spacing) < 1e-12) continue;
        const double baseN = QPointF::dotProduct(line.base, n);
        double lo = 1e300, hi = -1e300;
        for (const auto& c : corners) {
            const double s = QPointF::dotProduct(c, n) - baseN;
            lo = std::min(lo, s);
            hi = std::max(hi, s);
        }
        double k0 = std::ceil(lo / spacing), k1 = std::floor(hi / spacing);
        if (k0 > k1) std::swap(k0, k1);
        if (k1 - k0 > maxLines) continue;
        double period = 0;
        for (double d : line.dashes) period += std::abs(d);
        for (double k = k0; k <= k1; ++k) {
            const QPointF origin = line.base + line.offset * k;
            hits.clear();
            for (const auto& ring : rings)
                for (std::size_t i = 0; i < ring.size(); ++i) {
                    const QPointF a = ring[i], b = ring[(i + 1) % ring.size()];
                    const double da = QPointF::dotProduct(a - origin, n), db = QPointF::dotProduct(b - origin, n);
                    // Half-open on the edge so that a line through a vertex counts it once.
                    if ((da > 0) == (db > 0)) continue;
                    const double r = da / (da - db);
                    hits.push_back(QPointF::dotProduct(a + (b - a) * r - origin, u));
                }
            std::sort(hits.begin(), hits.end());
            for (std::size_t h = 0; h + 1 < hits.size(); h += 2) {
                const double t0 = hits[h], t1 = hits[h + 1];
                if (line.dashes.empty() || period <= 0) {
                    pieces.push_back(origin + u * t0);
                    pieces.push_back(origin + u * t1);
                    continue;
                }
                double t = std::floor(t0 / period) * period;
                while (t < t1) {
                    for (double d : line.dashes) {
                        const double len = std::abs(d);
                        if (d == 0.0) {
                            if (t >= t0 && t <= t1) dots.push_back(origin + u * t);
                        } else if (d > 0) {
                            const double a = std::max(t, t0), b = std::min(t + len, t1);
                            if (b > a) {
                                pieces.push_back(origin + u * a);
                                pieces.push_back(origin + u * b);
                            }
                        }
                        t += len;
                    }
                }
            }
        }
    }
}

void drawHatch(RenderContext& rc, const Placement& at, const FilerItems& items, QRgb color) {
    Items it(items);
    double elevation = 0;
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    bool solid = false;
    std::vector<std::vector<QPointF>> rings;
    std::vector<PatternLine> pattern;
    // The groups before the boundary come in a fixed order; read by code until 91.
    while (!it.done() && it.code() != 91) {
        switch (it.code()) {
            case 30: elevation = it.real(); break;
            case 210: {
                const double x = it.real(), y = it.real(220), z = it.real(230, 1.0);
                const AcGeVector3d v(x, y, z);
                if (!v.isZeroLength()) normal = v.normal();
                break;
            }
            case 70: solid = it.whole() == 1; break;
            default: it.skip(); break;
        }
    }
    const int paths = it.whole(91);
    for (int p = 0; p < paths && it.code() == 92; ++p) {
        std::vector<QPointF> ring = boundaryPath(it);
        if (ring.size() >= 3) rings.push_back(std::move(ring));
    }
    while (!it.done() && it.code() != 78 && it.code() != 47 && it.code() != 98) it.skip();
    if (it.code() == 78) {
        const int lines = it.whole();
        for (int l = 0; l < lines && it.code() == 53; ++l) {
            PatternLine line;
            line.angle = it.real() * kDegree;
            const double bx = it.real(43), by = it.real(44), ox = it.real(45), oy = it.real(46);
            line.base = {bx, by};
            line.offset = {ox, oy};
            const int dashes = it.whole(79);
            for (int d = 0; d < dashes && it.code() == 49; ++d) line.dashes.push_back(it.real());
            pattern.push_back(std::move(line));
        }
    }
    if (rings.empty()) return;

    const auto frame = AcGePlaneFrame::fromNormal(normal);
    auto toWorld = [&](QPointF p) { return rc.map(at, frame.toWorld({p.x(), p.y(), elevation})); };
    if (solid || pattern.empty()) {
        std::vector<std::vector<QPointF>> world;
        for (const auto& ring : rings) {
            world.emplace_back();
            for (const auto& p : ring) world.back().push_back(toWorld(p));
        }
        if (solid) rc.sink().fill(world, color);
        else
            for (const auto& ring : world) rc.sink().polyline(ring, true, {color, 0.0});
        return;
    }
    std::vector<QPointF> pieces, dots;
    clipPattern(rings, pattern, pieces, dots);
    for (auto& p : pieces) p = toWorld(p);
    if (!pieces.empty()) rc.sink().segments(pieces, {color, 0.0});
    for (const auto& d : dots) rc.sink().point(toWorld(d), color);
}

}  // namespace hostui::render
