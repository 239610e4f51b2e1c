#include "oldpolyline.h"

#include "conics.h"
#include "curves.h"
#include "foreignitems.h"
#include "ocsmap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>

namespace hostdb {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Header flags (70).
constexpr long long kClosed = 1, kSpace = 8, kMesh = 16, kMeshClosedN = 32, kFaces = 64;
// Vertex flags (70).
constexpr long long kFrameControlPoint = 16, kMeshVertex = 64, kFaceVertex = 128;

enum class Kind { flat, space, mesh, faces };

using Parts = std::vector<std::unique_ptr<AcDbEntity>>;

Kind kindOf(long long flags) {
    if (flags & kFaces) return Kind::faces;
    if (flags & kMesh) return Kind::mesh;
    if (flags & kSpace) return Kind::space;
    return Kind::flat;
}

bool isVertex(const FilerItems& record) { return !record.empty() && record.front().value == "VERTEX"; }

// A face record of a polyface mesh holds vertex numbers, and a placeholder point.
bool isFaceRecord(const FilerItems& record) {
    const long long flags = integerIn(record, 70);
    return (flags & kFaceVertex) && !(flags & kMeshVertex);
}

// The vertices that lie on the drawn shape: not the face records, and not the frame
// that a spline-fit polyline keeps its control points in.
bool isDrawnVertex(const FilerItems& record) {
    return isVertex(record) && !isFaceRecord(record) && !(integerIn(record, 70) & kFrameControlPoint);
}

struct Polyline {
    const AcDbForeignEntity& entity;
    long long flags = 0;
    Kind kind = Kind::flat;
    AcGePlaneFrame frame;
    double elevation = 0.0;

    explicit Polyline(const AcDbForeignEntity& e)
        : entity(e), flags(geometryInteger(e.foreignData(), 70)), kind(kindOf(flags)),
          frame(AcGePlaneFrame::fromNormal(extrusionOf(e.foreignData()))),
          elevation(geometryReal(e.foreignData(), 30)) {}

    bool closed() const { return (flags & kClosed) != 0; }
    // A vertex in world coordinates.
    AcGePoint3d world(const FilerItems& v) const {
        const AcGePoint3d p = pointIn(v, 10);
        return kind == Kind::flat ? frame.toWorld({p.x, p.y, elevation}) : p;
    }
    std::vector<const FilerItems*> drawnVertices() const {
        std::vector<const FilerItems*> out;
        for (const auto& record : entity.followers())
            if (isDrawnVertex(record)) out.push_back(&record);
        return out;
    }
};

Acad::ErrorStatus transformFlat(AcDbForeignEntity& e, const AcGeMatrix3d& m) {
    const Polyline pl(e);
    const OcsMap map(m, pl.frame.normal);
    if (map.degenerate()) return Acad::eNotApplicable;
    bool bulges = false;
    for (const auto& record : e.followers())
        if (isVertex(record) && realIn(record, 42) != 0.0) bulges = true;
    if (bulges && !map.uniform()) return Acad::eNotApplicable;  // arc segments cannot be stretched unevenly
    const double elevation = map.elevation(pl.elevation);
    for (auto& record : e.followers()) {
        if (!isVertex(record)) continue;
        const AcGePoint3d p = pointIn(record, 10);
        const AcGePoint3d q = map.point(p.x, p.y, pl.elevation);
        setPointIn(record, 10, {q.x, q.y, elevation});
        setRealIn(record, 40, realIn(record, 40) * map.scale());
        setRealIn(record, 41, realIn(record, 41) * map.scale());
        if (const FilerItem* tangent = itemOf(record, 50))
            setRealIn(record, 50, normalizedAngle(map.angle(realOf(tangent->value) * kDegree)) / kDegree);
    }
    ForeignData& data = e.foreign();
    for (auto& chunk : data.chunks()) {
        if (!isGeometryChunk(chunk)) continue;
        setPointIn(chunk.items, 10, {0.0, 0.0, elevation});
        for (const int code : {39, 40, 41}) setRealIn(chunk.items, code, realIn(chunk.items, code) * map.scale());
    }
    // A header that leaves its elevation out (an old file's) states the new one.
    if (!geometryItem(&data, 30) && elevation != 0.0)
        for (auto& chunk : data.chunks()) {
            if (!isGeometryChunk(chunk)) continue;
            auto y = std::find_if(chunk.items.begin(), chunk.items.end(), [](const FilerItem& i) { return i.code == 20; });
            if (y != chunk.items.end()) chunk.items.insert(y + 1, realItem(30, elevation));
            else chunk.items.insert(chunk.items.end(), {realItem(10, 0.0), realItem(20, 0.0), realItem(30, elevation)});
            break;
        }
    setExtrusion(data, map.newNormal());
    return Acad::eOk;
}

std::unique_ptr<AcDbEntity> makeLine(const AcGePoint3d& a, const AcGePoint3d& b) {
    return std::make_unique<AcDbLine>(a, b);
}

// A 3D face through the corners (the fourth repeats the third for a triangle); bit k of
// invisible hides the edge from corner k.
std::unique_ptr<AcDbEntity> makeFace(const std::array<AcGePoint3d, 4>& corners, int invisible) {
    auto face = std::make_unique<AcDbForeignEntity>("3DFACE");
    FilerItems& items = face->foreign().chunk("AcDbFace");
    for (int k = 0; k < 4; ++k) {
        const AcGePoint3d& p = corners[static_cast<std::size_t>(k)];
        items.insert(items.end(), {realItem(10 + k, p.x), realItem(20 + k, p.y), realItem(30 + k, p.z)});
    }
    if (invisible) items.push_back({70, std::to_string(invisible)});
    return face;
}

void explodeFlat(const Polyline& pl, Parts& out) {
    const auto vertices = pl.drawnVertices();
    const std::size_t n = vertices.size();
    const std::size_t segments = n < 2 ? 0 : (pl.closed() ? n : n - 1);
    for (std::size_t i = 0; i < segments; ++i) {
        const FilerItems& from = *vertices[i];
        const FilerItems& to = *vertices[(i + 1) % n];
        const AcGePoint3d a = pointIn(from, 10), b = pointIn(to, 10);
        BulgeArc arc;
        if (!bulgeArc(a.x, a.y, b.x, b.y, realIn(from, 42), arc)) {
            out.push_back(makeLine(pl.world(from), pl.world(to)));
            continue;
        }
        auto part = std::make_unique<AcDbArc>(pl.frame.toWorld({arc.cx, arc.cy, pl.elevation}), arc.radius,
                                 normalizedAngle(arc.start), normalizedAngle(arc.end));
        part->setNormal(pl.frame.normal);
        out.push_back(std::move(part));
    }
}

void explodeSpace(const Polyline& pl, Parts& out) {
    const auto vertices = pl.drawnVertices();
    const std::size_t n = vertices.size();
    const std::size_t segments = n < 2 ? 0 : (pl.closed() ? n : n - 1);
    for (std::size_t i = 0; i < segments; ++i)
        out.push_back(makeLine(pl.world(*vertices[i]), pl.world(*vertices[(i + 1) % n])));
}

// An M by N grid of vertices, row after row; closed in M and in N by the header flags.
Acad::ErrorStatus explodeMesh(const Polyline& pl, Parts& out) {
    const auto vertices = pl.drawnVertices();
    const long long m = geometryInteger(pl.entity.foreignData(), 71), n = geometryInteger(pl.entity.foreignData(), 72);
    if (m < 2 || n < 2 || static_cast<std::size_t>(m * n) != vertices.size()) return Acad::eInvalidInput;
    const long long rows = (pl.flags & kClosed) ? m : m - 1, columns = (pl.flags & kMeshClosedN) ? n : n - 1;
    auto at = [&](long long i, long long j) { return pl.world(*vertices[static_cast<std::size_t>((i % m) * n + j % n)]); };
    for (long long i = 0; i < rows; ++i)
        for (long long j = 0; j < columns; ++j)
            out.push_back(makeFace({at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j)}, 0));
    return Acad::eOk;
}

// Face records name their corners by vertex number from 1; a negative number hides the
// edge that starts at that corner.
Acad::ErrorStatus explodeFaces(const Polyline& pl, Parts& out) {
    std::vector<AcGePoint3d> points;
    for (const auto& record : pl.entity.followers())
        if (isVertex(record) && !isFaceRecord(record)) points.push_back(pointIn(record, 10));
    for (const auto& record : pl.entity.followers()) {
        if (!isVertex(record) || !isFaceRecord(record)) continue;
        std::array<AcGePoint3d, 4> corners;
        int invisible = 0, count = 0;
        for (int k = 0; k < 4; ++k) {
            const long long index = integerIn(record, 71 + k);
            if (index == 0) break;
            const auto at = static_cast<std::size_t>(std::llabs(index) - 1);
            if (at >= points.size()) return Acad::eInvalidInput;
            corners[static_cast<std::size_t>(k)] = points[at];
            if (index < 0) invisible |= 1 << k;
            ++count;
        }
        if (count < 3) continue;
        if (count == 3) corners[3] = corners[2];
        out.push_back(makeFace(corners, invisible));
    }
    return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus transformOldPolyline(AcDbForeignEntity& e, const AcGeMatrix3d& m) {
    if (kindOf(geometryInteger(e.foreignData(), 70)) == Kind::flat) return transformFlat(e, m);
    // World points; face records keep their placeholder.
    for (auto& record : e.followers())
        if (isVertex(record) && !isFaceRecord(record)) setPointIn(record, 10, m * pointIn(record, 10));
    return Acad::eOk;
}

Acad::ErrorStatus oldPolylineExtents(const AcDbForeignEntity& e, AcDbExtents& ext) {
    ext = AcDbExtents();
    const Polyline pl(e);
    const auto vertices = pl.drawnVertices();
    for (const FilerItems* v : vertices) ext.addPoint(pl.world(*v));
    if (pl.kind == Kind::flat) {
        const std::size_t n = vertices.size();
        for (std::size_t i = 0; i + 1 < n || (pl.closed() && i < n && n > 1); ++i) {
            const AcGePoint3d a = pointIn(*vertices[i], 10), b = pointIn(*vertices[(i + 1) % n], 10);
            BulgeArc arc;
            if (!bulgeArc(a.x, a.y, b.x, b.y, realIn(*vertices[i], 42), arc)) continue;
            const AcGePoint3d c = pl.frame.toWorld({arc.cx, arc.cy, pl.elevation});
            addEllipseExtents(ext, c, pl.frame.xAxis * arc.radius, pl.frame.yAxis * arc.radius, arc.start,
                              arc.start + normalizedAngle(arc.end - arc.start));
        }
    }
    return ext.isValid() ? Acad::eOk : Acad::eInvalidExtents;
}

Acad::ErrorStatus explodeOldPolyline(const AcDbForeignEntity& e, AcDbVoidPtrArray& parts) {
    const Polyline pl(e);
    Parts out;
    Acad::ErrorStatus es = Acad::eOk;
    switch (pl.kind) {
    case Kind::flat: explodeFlat(pl, out); break;
    case Kind::space: explodeSpace(pl, out); break;
    case Kind::mesh: es = explodeMesh(pl, out); break;
    case Kind::faces: es = explodeFaces(pl, out); break;
    }
    if (es != Acad::eOk) return es;
    for (auto& part : out) {
        part->setPropertiesFrom(&e, false);
        parts.append(part.release());
    }
    return Acad::eOk;
}

}  // namespace hostdb
