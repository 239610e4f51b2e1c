#include "foreignentity.h"

#include <charconv>
#include <cmath>
#include <cstdio>

ACRX_DEFINE_MEMBERS(AcDbForeignEntity, AcDbEntity, "")
ACRX_DEFINE_MEMBERS(AcDbBlockBegin, AcDbEntity, "BLOCK")
ACRX_DEFINE_MEMBERS(AcDbBlockEnd, AcDbEntity, "ENDBLK")
ACRX_DEFINE_MEMBERS(AcDbSequenceEnd, AcDbEntity, "SEQEND")

namespace {
double toDouble(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

std::string fromDouble(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Kinds whose point groups (10..18 with 20.., 30..) are world coordinates, so that
// moving the points moves the entity. Planar kinds in their own coordinate system
// are not listed: the host cannot place them without modelling them.
bool hasWorldPoints(const std::string& kind) {
    return kind == "SPLINE" || kind == "3DFACE" || kind == "XLINE" || kind == "RAY" || kind == "ELLIPSE" ||
           kind == "MLINE" || kind == "TOLERANCE";
}

// Vectors (directions, axis lengths) of a kind, moved without the translation.
bool isVectorCode(const std::string& kind, int xCode) {
    return (kind == "ELLIPSE" && xCode == 11) || ((kind == "XLINE" || kind == "RAY") && xCode == 11) ||
           (kind == "SPLINE" && (xCode == 12 || xCode == 13)) || (kind == "TOLERANCE" && xCode == 11);
}

template <class Visit>
void forEachPoint(hostdb::FilerItems& items, Visit visit) {
    for (std::size_t i = 0; i + 2 < items.size(); ++i) {
        const int c = items[i].code;
        if (c < 10 || c > 18 || items[i + 1].code != c + 10 || items[i + 2].code != c + 20) continue;
        visit(c, items[i].value, items[i + 1].value, items[i + 2].value);
        i += 2;
    }
}
}  // namespace

Acad::ErrorStatus AcDbForeignEntity::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!hasWorldPoints(m_dxfName)) return Acad::eNotApplicable;
    for (auto& chunk : foreign().chunks()) {
        if (chunk.subclass.empty() || chunk.subclass == "AcDbEntity") continue;
        forEachPoint(chunk.items, [&](int code, std::string& x, std::string& y, std::string& z) {
            const bool vector = isVectorCode(m_dxfName, code);
            const AcGePoint3d p(toDouble(x), toDouble(y), toDouble(z));
            const AcGePoint3d q = vector ? AcGePoint3d::kOrigin + m * p.asVector() : m * p;
            x = fromDouble(q.x);
            y = fromDouble(q.y);
            z = fromDouble(q.z);
        });
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbForeignEntity::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    if (!foreignData()) return Acad::eInvalidExtents;
    for (auto chunk : foreignData()->chunks()) {
        if (chunk.subclass.empty() || chunk.subclass == "AcDbEntity") continue;
        forEachPoint(chunk.items, [&](int code, std::string& x, std::string& y, std::string& z) {
            if (!isVectorCode(m_dxfName, code) && (code == 10 || hasWorldPoints(m_dxfName)))
                ext.addPoint({toDouble(x), toDouble(y), toDouble(z)});
        });
    }
    for (auto follower : m_followers)
        forEachPoint(follower, [&](int code, std::string& x, std::string& y, std::string& z) {
            if (code == 10) ext.addPoint({toDouble(x), toDouble(y), toDouble(z)});
        });
    return ext.isValid() ? Acad::eOk : Acad::eInvalidExtents;
}
