#include "hatchgeometry.h"

#include "conics.h"
#include "foreignitems.h"
#include "ocsmap.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <vector>

namespace hostdb {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr long long kPolylinePath = 2;
enum EdgeType { kLine = 1, kArc = 2, kEllipse = 3, kSpline = 4 };

// Where each part of the boundary lies in the hatch's groups. The groups of a path come
// in a fixed order with counts ahead of repeated groups, so the record is walked from
// the path count (91) on; a count that does not match what follows makes the whole
// layout unknown and the hatch is left alone.
struct Span {
    std::size_t begin = 0, end = 0;
};
struct Edge {
    int type = 0;
    Span data;  // the groups after the edge type (72)
};
struct Path {
    Span whole;
    long long flags = 0;
    bool closed = true;  // polyline paths say so (73); edge paths are loops
    Span body;           // polyline vertices, or the edge count and edges
    std::vector<Edge> edges;
    Span sources;  // 97 and the source handles
};
struct Layout {
    std::size_t pathsBegin = 0, pathsEnd = 0;
    std::vector<Path> paths;
};

class Walk {
public:
    explicit Walk(const FilerItems& items) : m_items(items) {}
    std::size_t pos = 0;
    bool at(int code) const { return at(pos, code); }
    bool at(std::size_t i, int code) const { return i < m_items.size() && m_items[i].code == code; }
    long long integer() const { return integerOf(m_items[pos].value); }
    long long integerAt(std::size_t i) const { return integerOf(m_items[i].value); }
    std::size_t size() const { return m_items.size(); }
    // Takes groups with codes of the set, each at most once, in any order.
    void takeEach(std::initializer_list<int> codes) {
        std::vector<int> seen;
        while (pos < m_items.size()) {
            const int c = m_items[pos].code;
            bool known = false;
            for (const int k : codes) known = known || k == c;
            for (const int k : seen) known = known && k != c;
            if (!known) return;
            seen.push_back(c);
            ++pos;
        }
    }
    bool takePair(int code) {
        if (!at(code) || !at(pos + 1, code + 10)) return false;
        pos += 2;
        return true;
    }

private:
    const FilerItems& m_items;
};

// Spline fit data (97 and fit points, then the end tangents) follows the control points
// in newer files only; when the spline ends its path, the 97 that comes next may be the
// path's source count instead. It is fit data when what it counts are fit points and
// another edge or the source count comes after them.
bool fitDataFollows(const Walk& w) {
    if (!w.at(97)) return false;
    std::size_t q = w.pos + 1;
    for (long long k = w.integer(); k > 0; --k, q += 2)
        if (!w.at(q, 11) || !w.at(q + 1, 21)) return false;
    for (const int tangent : {12, 13})
        if (w.at(q, tangent) && w.at(q + 1, tangent + 10)) q += 2;
    return w.at(q, 97) || w.at(q, 72);
}

void walkSpline(Walk& w) {
    w.takeEach({94, 73, 74, 95, 96});
    while (w.at(40)) ++w.pos;
    while (w.takePair(10))
        if (w.at(42)) ++w.pos;
    if (fitDataFollows(w)) {
        ++w.pos;
        while (w.takePair(11)) {
        }
        w.takePair(12);
        w.takePair(13);
    }
}

bool walkEdge(Walk& w, Edge& edge) {
    if (!w.at(72)) return false;
    edge.type = static_cast<int>(w.integer());
    ++w.pos;
    edge.data.begin = w.pos;
    switch (edge.type) {
    case kLine: w.takeEach({10, 20, 11, 21}); break;
    case kArc: w.takeEach({10, 20, 40, 50, 51, 73}); break;
    case kEllipse: w.takeEach({10, 20, 11, 21, 40, 50, 51, 73}); break;
    case kSpline: walkSpline(w); break;
    default: return false;
    }
    edge.data.end = w.pos;
    return true;
}

bool walkPath(Walk& w, Path& path) {
    path.whole.begin = w.pos;
    if (!w.at(92)) return false;
    path.flags = w.integer();
    ++w.pos;
    path.body.begin = w.pos;
    if (path.flags & kPolylinePath) {
        long long count = 0;
        while (w.at(72) || w.at(73) || w.at(93)) {
            if (w.at(93)) count = w.integer();
            if (w.at(73)) path.closed = w.integer() != 0;
            ++w.pos;
        }
        path.body.begin = w.pos;
        for (; count > 0; --count) {
            if (!w.takePair(10)) return false;
            if (w.at(42)) ++w.pos;
        }
    } else {
        if (!w.at(93)) return false;
        long long count = w.integer();
        ++w.pos;
        for (; count > 0; --count) {
            Edge edge;
            if (!walkEdge(w, edge)) return false;
            path.edges.push_back(edge);
        }
    }
    path.body.end = w.pos;
    path.sources.begin = w.pos;
    if (w.at(97)) {
        ++w.pos;
        while (w.at(330)) ++w.pos;
    }
    path.sources.end = path.whole.end = w.pos;
    return true;
}

std::optional<Layout> layoutOf(const FilerItems& items) {
    Walk w(items);
    while (w.pos < w.size() && !w.at(91)) ++w.pos;
    if (!w.at(91)) return std::nullopt;
    long long count = w.integer();
    ++w.pos;
    Layout layout;
    layout.pathsBegin = w.pos;
    for (; count > 0; --count) {
        Path path;
        if (!walkPath(w, path)) return std::nullopt;
        layout.paths.push_back(std::move(path));
    }
    layout.pathsEnd = w.pos;
    return layout;
}

double real(const FilerItems& items, Span span, int code, double otherwise = 0.0) {
    for (std::size_t i = span.begin; i < span.end; ++i)
        if (items[i].code == code) return realOf(items[i].value);
    return otherwise;
}

// An arc or elliptical arc edge as c + u cos t + v sin t, t from start to end (radians).
// A clockwise edge keeps its angles as seen in the plane turned over, so it runs with
// its minor axis reversed.
struct Conic {
    AcGePoint3d center;  // 2D, z unused
    AcGeVector3d u, v;
    double start = 0.0, end = 0.0;
    bool ccw = true;
};

AcGeVector3d perp(const AcGeVector3d& a) { return {-a.y, a.x, 0.0}; }

// The swept range from start to end (radians, counter-clockwise): a whole turn stays one.
double sweepOf(double start, double end) {
    const double d = end - start;
    if (std::abs(d) >= 2.0 * std::numbers::pi - 1e-12) return 2.0 * std::numbers::pi;
    const double n = normalizedAngle(d);
    return n == 0.0 && d != 0.0 ? 2.0 * std::numbers::pi : n;
}

// An end angle that keeps the sweep: normalised, or a whole turn past the start.
double endAfter(double start, double sweep) {
    return sweep >= 2.0 * std::numbers::pi - 1e-12 ? start + 2.0 * std::numbers::pi : normalizedAngle(start + sweep);
}

// Elliptical edges keep the angles at which their ends are seen from the centre in the
// ellipse's own axes, not the curve's parameters (an ELLIPSE entity keeps those).
double parameterAt(double angle, double ratio) { return std::atan2(std::sin(angle) / ratio, std::cos(angle)); }
double angleAt(double parameter, double ratio) { return std::atan2(ratio * std::sin(parameter), std::cos(parameter)); }

Conic conicOf(const FilerItems& items, const Edge& edge) {
    const Span s = edge.data;
    Conic c;
    c.center = {real(items, s, 10), real(items, s, 20), 0.0};
    c.ccw = real(items, s, 73, 1.0) != 0.0;
    const double from = real(items, s, 50) * kDegree, to = real(items, s, 51) * kDegree;
    const double sense = c.ccw ? 1.0 : -1.0;
    if (edge.type == kArc) {
        const double r = real(items, s, 40);
        c.u = {r, 0.0, 0.0};
        c.v = {0.0, sense * r, 0.0};
        c.start = from;
        c.end = from + sweepOf(from, to);
    } else {
        const double stated = real(items, s, 40, 1.0);
        const double ratio = stated > 0.0 ? stated : 1.0;  // a flat ellipse has no angles to speak of
        c.u = {real(items, s, 11), real(items, s, 21), 0.0};
        c.v = perp(c.u) * (sense * stated);
        c.start = parameterAt(from, ratio);
        const double sweep = sweepOf(from, to);
        c.end = c.start + (sweep >= 2.0 * std::numbers::pi ? sweep : sweepOf(c.start, parameterAt(to, ratio)));
    }
    return c;
}

// Rewrites the hatch's groups for one transformation.
class Transformer {
public:
    Transformer(const FilerItems& items, const OcsMap& map, double elevation)
        : m_in(items), m_map(map), m_elevation(elevation) {}

    FilerItems run(const Layout& layout) {
        header(layout.pathsBegin);
        for (const Path& path : layout.paths) {
            if (path.flags & kPolylinePath) polylinePath(path);
            else edgePath(path);
        }
        trailer(layout.pathsEnd);
        return std::move(m_out);
    }

private:
    AcGePoint3d point(double x, double y) const { return m_map.point(x, y, m_elevation); }
    double newAngle(double radians) const { return normalizedAngle(m_map.angle(radians)); }

    void copy(Span s) {
        for (std::size_t i = s.begin; i < s.end; ++i) m_out.push_back(m_in[i]);
    }
    void add(int code, double v) { m_out.push_back(realItem(code, v)); }
    void addPoint(int code, const AcGePoint3d& p) {
        add(code, p.x);
        add(code + 10, p.y);
    }

    // Copies a span, moving the 2D points and vectors of the given codes.
    void copyMoving(Span s, std::initializer_list<int> pointCodes, std::initializer_list<int> vectorCodes = {}) {
        for (std::size_t i = s.begin; i < s.end; ++i) {
            const int c = m_in[i].code;
            const bool isPoint = std::find(pointCodes.begin(), pointCodes.end(), c) != pointCodes.end();
            const bool isVector = std::find(vectorCodes.begin(), vectorCodes.end(), c) != vectorCodes.end();
            if ((!isPoint && !isVector) || i + 1 >= s.end || m_in[i + 1].code != c + 10) {
                m_out.push_back(m_in[i]);
                continue;
            }
            const double x = realOf(m_in[i].value), y = realOf(m_in[i + 1].value);
            if (isPoint) addPoint(c, point(x, y));
            else addPoint(c, AcGePoint3d::kOrigin + m_map.vector(x, y));
            ++i;
        }
    }

    // The elevation point and the normal come before the path count, which ends here.
    void header(std::size_t pathsBegin) {
        const std::size_t end = pathsBegin - 1;
        bool elevationDone = false, normalDone = false;
        for (std::size_t i = 0; i < end; ++i) {
            const FilerItem& item = m_in[i];
            if (!elevationDone && item.code == 10) {
                add(10, 0.0);
                add(20, 0.0);
                add(30, m_map.elevation(m_elevation));
                elevationDone = true;
                while (i + 1 < end && (m_in[i + 1].code == 20 || m_in[i + 1].code == 30)) ++i;
                if (!hasNormal(end)) {
                    addNormal();
                    normalDone = true;
                }
            } else if (item.code == 210 && !normalDone) {
                addNormal();
                normalDone = true;
                while (i + 1 < end && (m_in[i + 1].code == 220 || m_in[i + 1].code == 230)) ++i;
            } else {
                m_out.push_back(item);
            }
        }
        if (!normalDone && !m_map.newNormal().isEqualTo(AcGeVector3d::kZAxis)) addNormal();
        m_out.push_back(m_in[end]);
    }
    bool hasNormal(std::size_t end) const {
        for (std::size_t i = 0; i < end; ++i)
            if (m_in[i].code == 210) return true;
        return false;
    }
    void addNormal() {
        const AcGeVector3d n = m_map.newNormal();
        add(210, n.x);
        add(220, n.y);
        add(230, n.z);
    }

    void polylinePath(const Path& path) {
        bool bulges = false;
        for (std::size_t i = path.body.begin; i < path.body.end; ++i)
            bulges = bulges || (m_in[i].code == 42 && realOf(m_in[i].value) != 0.0);
        if (!bulges || m_map.uniform()) {
            copy({path.whole.begin, path.body.begin});
            copyMoving(path.body, {10});
            copy(path.sources);
            return;
        }
        // Stretched arcs are elliptical: the path becomes one of edges.
        struct Vertex {
            double x, y, bulge;
        };
        std::vector<Vertex> vertices;
        for (std::size_t i = path.body.begin; i < path.body.end; ++i)
            if (m_in[i].code == 10) vertices.push_back({realOf(m_in[i].value), realOf(m_in[i + 1].value), 0.0});
            else if (m_in[i].code == 42 && !vertices.empty()) vertices.back().bulge = realOf(m_in[i].value);
        const std::size_t n = vertices.size();
        const std::size_t segments = n < 2 ? 0 : (path.closed ? n : n - 1);
        m_out.push_back({92, std::to_string(path.flags & ~kPolylinePath)});
        m_out.push_back({93, std::to_string(segments)});
        for (std::size_t i = 0; i < segments; ++i) {
            const Vertex& a = vertices[i];
            const Vertex& b = vertices[(i + 1) % n];
            BulgeArc arc;
            if (!bulgeArc(a.x, a.y, b.x, b.y, a.bulge, arc)) {
                m_out.push_back({72, "1"});
                addPoint(10, point(a.x, a.y));
                addPoint(11, point(b.x, b.y));
                continue;
            }
            Conic c;
            c.center = {arc.cx, arc.cy, 0.0};
            c.ccw = a.bulge > 0;
            // A clockwise edge runs from a to b with its angles seen from the far side.
            const double from = c.ccw ? arc.start : -arc.end, to = c.ccw ? arc.end : -arc.start;
            c.start = from;
            c.end = from + sweepOf(from, to);
            c.u = {arc.radius, 0.0, 0.0};
            c.v = {0.0, c.ccw ? arc.radius : -arc.radius, 0.0};
            ellipseEdge(c);
        }
        copy(path.sources);
    }

    void edgePath(const Path& path) {
        copy({path.whole.begin, path.body.begin});
        m_out.push_back(m_in[path.body.begin]);  // the edge count
        for (const Edge& edge : path.edges) {
            switch (edge.type) {
            case kLine:
                m_out.push_back({72, "1"});
                copyMoving(edge.data, {10, 11});
                break;
            case kArc:
                if (m_map.uniform()) arcEdge(edge);
                else ellipseEdge(conicOf(m_in, edge));
                break;
            case kEllipse: ellipseEdge(conicOf(m_in, edge)); break;
            default:
                m_out.push_back({72, std::to_string(edge.type)});
                copyMoving(edge.data, {10, 11}, {12, 13});
                break;
            }
        }
        copy(path.sources);
    }

    // Turned and scaled evenly, a circular arc stays one; its angles turn along, the
    // other way for a clockwise edge.
    void arcEdge(const Edge& edge) {
        const Conic c = conicOf(m_in, edge);
        const double turn = m_map.angle(0.0);
        const double start = normalizedAngle(c.ccw ? c.start + turn : c.start - turn);
        m_out.push_back({72, "2"});
        for (std::size_t i = edge.data.begin; i < edge.data.end; ++i) {
            const FilerItem& item = m_in[i];
            switch (item.code) {
            case 10: addPoint(10, point(c.center.x, c.center.y)); break;
            case 20: break;
            case 40: add(40, realOf(item.value) * m_map.scale()); break;
            case 50: add(50, start / kDegree); break;
            case 51: add(51, endAfter(start, c.end - c.start) / kDegree); break;
            default: m_out.push_back(item); break;
            }
        }
    }

    // The image of c + u cos t + v sin t is c' + u' cos t + v' sin t; its own axes give
    // the major axis and ratio, and the parameters shift by where the new major axis was.
    // The 2D map never reflects, so the edge keeps its sense.
    void ellipseEdge(const Conic& c) {
        const AcGePoint3d center = point(c.center.x, c.center.y);
        const PrincipalAxes axes = principalAxes(m_map.vector(c.u.x, c.u.y), m_map.vector(c.v.x, c.v.y));
        const double ratio = axes.major.length() > 0 ? axes.minor.length() / axes.major.length() : 1.0;
        const double from = normalizedAngle(angleAt(c.start - axes.shift, ratio));
        const double to = angleAt(c.end - axes.shift, ratio);
        const double sweep = c.end - c.start >= 2.0 * std::numbers::pi - 1e-12 ? 2.0 * std::numbers::pi : sweepOf(from, to);
        m_out.push_back({72, "3"});
        addPoint(10, center);
        addPoint(11, AcGePoint3d(axes.major.x, axes.major.y, 0.0));
        add(40, ratio);
        add(50, from / kDegree);
        add(51, endAfter(from, sweep) / kDegree);
        m_out.push_back({73, c.ccw ? "1" : "0"});
    }

    // Pattern, seed points and gradient come after the paths. Pattern lines map exactly:
    // their angle, base point and offset go with the plane and dashes stretch with their
    // line.
    void trailer(std::size_t begin) {
        const Span rest{begin, m_in.size()};
        const double patternAngle = real(m_in, rest, 52) * kDegree;
        double lineAngle = 0.0;
        for (std::size_t i = begin; i < m_in.size(); ++i) {
            const FilerItem& item = m_in[i];
            const double v = realOf(item.value);
            const bool pair = i + 1 < m_in.size() && m_in[i + 1].code == item.code + 1;
            switch (item.code) {
            case 52: add(52, newAngle(v * kDegree) / kDegree); break;
            case 41: add(41, v * m_map.stretchAlong(patternAngle)); break;
            case 53:
                lineAngle = v * kDegree;
                add(53, newAngle(lineAngle) / kDegree);
                break;
            case 49: add(49, v * m_map.stretchAlong(lineAngle)); break;
            case 47: add(47, v * m_map.scale()); break;
            case 460: add(460, m_map.angle(v)); break;
            case 43:
            case 45:
                if (!pair) {
                    m_out.push_back(item);
                    break;
                }
                {
                    const double y = realOf(m_in[i + 1].value);
                    const AcGePoint3d p = item.code == 43 ? point(v, y) : AcGePoint3d::kOrigin + m_map.vector(v, y);
                    add(item.code, p.x);
                    add(item.code + 1, p.y);
                    ++i;
                }
                break;
            case 10:
                if (i + 1 < m_in.size() && m_in[i + 1].code == 20) {
                    addPoint(10, point(v, realOf(m_in[i + 1].value)));
                    ++i;
                } else {
                    m_out.push_back(item);
                }
                break;
            default: m_out.push_back(item); break;
            }
        }
    }

    const FilerItems& m_in;
    const OcsMap& m_map;
    double m_elevation;
    FilerItems m_out;
};

FilerItems* hatchItems(AcDbForeignEntity& e) {
    for (auto& chunk : e.foreign().chunks())
        if (chunk.subclass == "AcDbHatch") return &chunk.items;
    return nullptr;
}

}  // namespace

Acad::ErrorStatus transformHatch(AcDbForeignEntity& e, const AcGeMatrix3d& m) {
    if (!e.foreignData()) return Acad::eNotApplicable;
    FilerItems* items = hatchItems(e);
    if (!items) return Acad::eNotApplicable;
    const auto layout = layoutOf(*items);
    if (!layout) return Acad::eNotApplicable;  // groups this host cannot place
    const OcsMap map(m, extrusionOf(e.foreignData()));
    if (map.degenerate()) return Acad::eNotApplicable;
    *items = Transformer(*items, map, geometryReal(e.foreignData(), 30)).run(*layout);
    return Acad::eOk;
}

Acad::ErrorStatus hatchExtents(const AcDbForeignEntity& e, AcDbExtents& ext) {
    ext = AcDbExtents();
    const FilerItems* items = e.foreignData() ? e.foreignData()->find("AcDbHatch") : nullptr;
    const auto layout = items ? layoutOf(*items) : std::nullopt;
    if (!layout) return Acad::eInvalidExtents;
    const auto frame = AcGePlaneFrame::fromNormal(extrusionOf(e.foreignData()));
    const double elevation = geometryReal(e.foreignData(), 30);
    auto world = [&](double x, double y) { return frame.toWorld({x, y, elevation}); };
    auto worldVector = [&](const AcGeVector3d& v) { return frame.xAxis * v.x + frame.yAxis * v.y; };
    const FilerItems& in = *items;
    auto addPoints = [&](Span s, int code) {
        for (std::size_t i = s.begin; i + 1 < s.end; ++i)
            if (in[i].code == code && in[i + 1].code == code + 10)
                ext.addPoint(world(realOf(in[i].value), realOf(in[i + 1].value)));
    };
    for (const Path& path : layout->paths) {
        if (!(path.flags & kPolylinePath)) {
            for (const Edge& edge : path.edges) {
                if (edge.type == kArc || edge.type == kEllipse) {
                    const Conic c = conicOf(in, edge);
                    addEllipseExtents(ext, world(c.center.x, c.center.y), worldVector(c.u), worldVector(c.v), c.start,
                                      c.start + sweepOf(c.start, c.end));
                } else {
                    // Lines by their ends; splines by control and fit points, whose
                    // hull holds the curve.
                    addPoints(edge.data, 10);
                    addPoints(edge.data, 11);
                }
            }
            continue;
        }
        struct Vertex {
            double x, y, bulge;
        };
        std::vector<Vertex> vertices;
        for (std::size_t i = path.body.begin; i < path.body.end; ++i)
            if (in[i].code == 10) vertices.push_back({realOf(in[i].value), realOf(in[i + 1].value), 0.0});
            else if (in[i].code == 42 && !vertices.empty()) vertices.back().bulge = realOf(in[i].value);
        const std::size_t n = vertices.size();
        for (std::size_t i = 0; i < n; ++i) {
            ext.addPoint(world(vertices[i].x, vertices[i].y));
            if (i + 1 == n && !path.closed) break;
            const Vertex& b = vertices[(i + 1) % n];
            BulgeArc arc;
            if (!bulgeArc(vertices[i].x, vertices[i].y, b.x, b.y, vertices[i].bulge, arc)) continue;
            addEllipseExtents(ext, world(arc.cx, arc.cy), frame.xAxis * arc.radius, frame.yAxis * arc.radius, arc.start,
                              arc.start + normalizedAngle(arc.end - arc.start));
        }
    }
    return ext.isValid() ? Acad::eOk : Acad::eInvalidExtents;
}

}  // namespace hostdb
