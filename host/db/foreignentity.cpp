#include "foreignentity.h"

#include "../ge/planeframe.h"
#include "../rx/numbertext.h"

#include <cmath>

ACRX_DEFINE_MEMBERS(AcDbForeignEntity, AcDbEntity, "")
ACRX_DEFINE_MEMBERS(AcDbBlockBegin, AcDbEntity, "BLOCK")
ACRX_DEFINE_MEMBERS(AcDbBlockEnd, AcDbEntity, "ENDBLK")
ACRX_DEFINE_MEMBERS(AcDbSequenceEnd, AcDbEntity, "SEQEND")

namespace {
double toDouble(const std::string& s) { return hostrx::numberOrZero(s); }

std::string fromDouble(double v) { return hostrx::formatNumber(v); }

// Kinds whose point groups (10..18 with 20.., 30..) are world coordinates, so that
// moving the points moves the entity.
bool hasWorldPoints(const std::string& kind) {
    return kind == "SPLINE" || kind == "3DFACE" || kind == "XLINE" || kind == "RAY" || kind == "ELLIPSE" ||
           kind == "MLINE" || kind == "TOLERANCE";
}

// Kinds whose corners (10..13) lie in the plane of their extrusion direction, in that
// plane's own coordinates. Other planar kinds (hatches, old-style polylines) the host
// cannot place without modelling them.
bool hasPlanePoints(const std::string& kind) { return kind == "SOLID" || kind == "TRACE"; }

// Vectors (directions, axis lengths) of a kind, moved without the translation.
bool isVectorCode(const std::string& kind, int xCode) {
    return (kind == "ELLIPSE" && xCode == 11) || ((kind == "XLINE" || kind == "RAY") && xCode == 11) ||
           ((kind == "SPLINE" || kind == "MLINE") && (xCode == 12 || xCode == 13)) ||
           (kind == "TOLERANCE" && xCode == 11);
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

bool isGeometryChunk(const hostdb::ForeignData::Chunk& chunk) {
    return !chunk.subclass.empty() && chunk.subclass != "AcDbEntity";
}

AcGePoint3d readPoint(const std::string& x, const std::string& y, const std::string& z) {
    return {toDouble(x), toDouble(y), toDouble(z)};
}

void writePoint(const AcGePoint3d& p, std::string& x, std::string& y, std::string& z) {
    x = fromDouble(p.x);
    y = fromDouble(p.y);
    z = fromDouble(p.z);
}

// The extrusion direction (210); the Z axis when the entity states none.
AcGeVector3d extrusionOf(const hostdb::ForeignData* data) {
    AcGeVector3d n = AcGeVector3d::kZAxis;
    if (!data) return n;
    for (auto chunk : data->chunks())
        forEachPoint(chunk.items, [&](int, std::string& x, std::string& y, std::string& z) {
            n = readPoint(x, y, z).asVector();
        }, 210, 210);
    return n.isZeroLength() ? AcGeVector3d::kZAxis : n.normal();
}

// Kinds that always have an extrusion direction, stated or not; a spline states one
// only when it is planar.
bool hasExtrusion(const std::string& kind) {
    return kind == "ELLIPSE" || kind == "MLINE" || kind == "TOLERANCE" || hasPlanePoints(kind);
}

// Sets the extrusion direction where the entity states one; a kind that always has one
// gets it added to its own chunk.
void setExtrusion(hostdb::ForeignData& data, const std::string& kind, const AcGeVector3d& n) {
    bool found = false;
    for (auto& chunk : data.chunks())
        forEachPoint(chunk.items, [&](int, std::string& x, std::string& y, std::string& z) {
            writePoint(AcGePoint3d::kOrigin + n, x, y, z);
            found = true;
        }, 210, 210);
    if (found || !hasExtrusion(kind) || n.isEqualTo(AcGeVector3d::kZAxis)) return;
    for (auto it = data.chunks().rbegin(); it != data.chunks().rend(); ++it)
        if (isGeometryChunk(*it)) {
            it->items.insert(it->items.end(), {{210, fromDouble(n.x)}, {220, fromDouble(n.y)}, {230, fromDouble(n.z)}});
            return;
        }
}

// The direction that keeps a planar shape's sense (its minor axis or offsets are taken
// about it): the transformed normal, reversed by a transformation that mirrors.
AcGeVector3d orientedNormal(const AcGeMatrix3d& m, const AcGeVector3d& n) {
    const AcGeVector3d t = (m * n).normal();
    return m.det() < 0.0 ? -t : t;
}
}  // namespace

Acad::ErrorStatus AcDbForeignEntity::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (hasPlanePoints(m_dxfName)) return transformPlanePoints(m);
    if (!hasWorldPoints(m_dxfName)) return Acad::eNotApplicable;
    const AcGeVector3d normal = orientedNormal(m, extrusionOf(foreignData()));
    if (normal.isZeroLength()) return Acad::eNotApplicable;
    for (auto& chunk : foreign().chunks()) {
        if (!isGeometryChunk(chunk)) continue;
        forEachPoint(chunk.items, [&](int code, std::string& x, std::string& y, std::string& z) {
            const AcGePoint3d p = readPoint(x, y, z);
            writePoint(isVectorCode(m_dxfName, code) ? AcGePoint3d::kOrigin + m * p.asVector() : m * p, x, y, z);
        });
    }
    setExtrusion(foreign(), m_dxfName, normal);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbForeignEntity::transformPlanePoints(const AcGeMatrix3d& m) {
    const AcGeVector3d oldNormal = extrusionOf(foreignData());
    const AcGeVector3d newNormal = (m * oldNormal).normal();
    if (newNormal.isZeroLength()) return Acad::eNotApplicable;
    const auto from = AcGePlaneFrame::fromNormal(oldNormal), to = AcGePlaneFrame::fromNormal(newNormal);
    for (auto& chunk : foreign().chunks()) {
        if (!isGeometryChunk(chunk)) continue;
        forEachPoint(chunk.items, [&](int, std::string& x, std::string& y, std::string& z) {
            writePoint(to.toPlane(m * from.toWorld(readPoint(x, y, z))), x, y, z);
        }, 10, 13);
    }
    setExtrusion(foreign(), m_dxfName, newNormal);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbForeignEntity::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    if (!foreignData()) return Acad::eInvalidExtents;
    const bool plane = hasPlanePoints(m_dxfName);
    const auto frame = AcGePlaneFrame::fromNormal(extrusionOf(foreignData()));
    for (auto chunk : foreignData()->chunks()) {
        if (!isGeometryChunk(chunk)) continue;
        forEachPoint(chunk.items, [&](int code, std::string& x, std::string& y, std::string& z) {
            if (plane && code <= 13) ext.addPoint(frame.toWorld(readPoint(x, y, z)));
            else if (!plane && !isVectorCode(m_dxfName, code) && (code == 10 || hasWorldPoints(m_dxfName)))
                ext.addPoint(readPoint(x, y, z));
        });
    }
    for (auto follower : m_followers)
        forEachPoint(follower, [&](int code, std::string& x, std::string& y, std::string& z) {
            if (code == 10) ext.addPoint(readPoint(x, y, z));
        });
    return ext.isValid() ? Acad::eOk : Acad::eInvalidExtents;
}
