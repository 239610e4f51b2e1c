#include "dimension.h"

#include "blockreference.h"
#include "blocktable.h"
#include "database.h"
#include "dimstyletable.h"
#include "foreignpoints.h"
#include "idmapping.h"
#include "curves.h"
#include "mtext.h"

#include "../rx/numbertext.h"

#include <cmath>
#include <numbers>

ACRX_DEFINE_MEMBERS(AcDbDimension, AcDbEntity, "DIMENSION")
ACRX_DEFINE_MEMBERS(AcDbLeader, AcDbEntity, "LEADER")

// ---- dimension ----

namespace {
constexpr double kDegree = std::numbers::pi / 180.0;

bool movesOnly(const AcGeMatrix3d& m) {
    return (m * AcGeVector3d::kXAxis).isEqualTo(AcGeVector3d::kXAxis) &&
           (m * AcGeVector3d::kYAxis).isEqualTo(AcGeVector3d::kYAxis) &&
           (m * AcGeVector3d::kZAxis).isEqualTo(AcGeVector3d::kZAxis);
}

// An angle in degrees, measured in the plane frame `from`, carried by m into the frame `to`.
double carriedAngle(double degrees, const AcGePlaneFrame& from, const AcGePlaneFrame& to, const AcGeMatrix3d& m) {
    const double a = to.angleOf(m * from.direction(degrees * kDegree)) / kDegree;
    return a < 0.0 ? a + 360.0 : a;
}
}  // namespace

Acad::ErrorStatus AcDbDimension::transformedGeometry(const AcGeMatrix3d& m, Geometry& out) const {
    out.clear();
    if (m_blockId.isNull() && m_pendingGeometry.empty()) return Acad::eOk;
    AcDbVoidPtrArray parts;
    if (const auto es = explode(parts); es != Acad::eOk) return es;
    std::vector<std::unique_ptr<AcDbEntity>> owned, placed;
    for (void* p : parts) owned.emplace_back(static_cast<AcDbEntity*>(p));
    for (const auto& part : owned) {
        AcDbEntity* copy = nullptr;
        if (part->getTransformedCopy(m, copy) != Acad::eOk) return Acad::eNotApplicable;
        placed.emplace_back(copy);
    }
    out.assign(std::make_move_iterator(placed.begin()), std::make_move_iterator(placed.end()));
    return Acad::eOk;
}

// The angles the dimension keeps in its own plane: the rotation of a rotated dimension
// and a text rotation that was set (0 leaves the text to the dimension style).
void AcDbDimension::transformAngles(const AcGeMatrix3d& m, const AcGeVector3d& oldNormal) {
    const auto from = AcGePlaneFrame::fromNormal(oldNormal), to = AcGePlaneFrame::fromNormal(m_normal);
    if (m_textRotation != 0.0) m_textRotation = carriedAngle(m_textRotation, from, to, m);
    if (!foreignData()) return;
    for (auto& chunk : foreign().chunks()) {
        if (chunk.subclass != "AcDbRotatedDimension") continue;
        for (auto& item : chunk.items) {
            if (item.code != 50) continue;
            item.value = hostrx::formatNumber(carriedAngle(hostrx::numberOrZero(item.value), from, to, m));
        }
    }
}

Acad::ErrorStatus AcDbDimension::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const bool turns = !movesOnly(m);
    Geometry turned;
    if (turns)
        if (const auto es = transformedGeometry(m, turned); es != Acad::eOk) return es;
    const AcGeVector3d oldNormal = m_normal;
    m_defPoint = m * m_defPoint;
    m_textPosition = m * m_textPosition;
    if (foreignData())
        for (auto& chunk : foreign().chunks())
            if (!chunk.subclass.empty() && chunk.subclass != "AcDbEntity" && chunk.subclass != "AcDbDimension")
                hostdb::transformPointItems(chunk.items, 13, 16, m);
    const AcGeVector3d n = m * m_normal;
    if (!n.isZeroLength()) m_normal = n.normal();
    m_measurement = -1.0;  // to be measured again
    if (!turns) {
        // The geometry block stays as drawn; the block position carries the move so that
        // the dimension shows in its new place until it is drawn again.
        m_blockPosition = m * m_blockPosition;
        return Acad::eOk;
    }
    transformAngles(m, oldNormal);
    m_blockPosition = AcGePoint3d::kOrigin;
    m_pendingGeometry = std::move(turned);
    if (database()) makeGeometryBlock();  // on failure the geometry stays pending and is still drawn
    return Acad::eOk;
}

void AcDbDimension::onAppended() { makeGeometryBlock(); }

// The geometry block of a dimension that was turned or mirrored: anonymous, its own,
// with the geometry in world coordinates. The block it had before may be shared with
// copies of the dimension, so it is left as it is.
Acad::ErrorStatus AcDbDimension::makeGeometryBlock() {
    if (m_pendingGeometry.empty() || !database()) return Acad::eOk;
    AcDbBlockTable* table = nullptr;
    if (const auto es = acdbOpenObject(table, database()->blockTableId(), AcDb::kForWrite); es != Acad::eOk)
        return es;
    auto* block = new AcDbBlockTableRecord();
    block->setName(table->freeAnonymousName(L"*D").c_str());
    block->setFlags(AcDbBlockTableRecord::kAnonymous);
    AcDbObjectId blockId;
    const auto es = table->add(blockId, block);
    table->close();
    if (es != Acad::eOk) {
        delete block;
        return es;
    }
    for (const auto& part : m_pendingGeometry) {
        std::unique_ptr<AcDbEntity> copy(AcDbEntity::cast(part->clone()));
        if (copy && block->appendAcDbEntity(copy.get()) == Acad::eOk) copy.release()->close();
    }
    block->close();
    m_blockId = blockId;
    m_pendingGeometry.clear();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    if (!m_pendingGeometry.empty()) {
        AcDbVoidPtrArray parts;
        explode(parts);
        for (void* p : parts) {
            const std::unique_ptr<AcDbEntity> part(static_cast<AcDbEntity*>(p));
            AcDbExtents box;
            if (part->getGeomExtents(box) == Acad::eOk) ext.addExt(box);
        }
    } else if (!m_blockId.isNull() && AcDbBlockTableRecord::cast(m_blockId.slot()->object)) {
        // The geometry block holds world coordinates, placed at the block position.
        AcDbBlockReference ref(m_blockPosition, m_blockId);
        ref.getGeomExtents(ext);
    }
    ext.addPoint(m_defPoint);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::explode(AcDbVoidPtrArray& set) const {
    if (!m_pendingGeometry.empty()) {
        const AcGeMatrix3d place = AcGeMatrix3d::translation(m_blockPosition.asVector());
        for (const auto& part : m_pendingGeometry) {
            AcDbEntity* copy = nullptr;
            if (part->getTransformedCopy(place, copy) == Acad::eOk) set.append(copy);
        }
        return Acad::eOk;
    }
    if (m_blockId.isNull()) return Acad::eCannotExplodeEntity;
    AcDbBlockReference ref(m_blockPosition, m_blockId);
    return ref.explode(set);
}

void AcDbDimension::remapIds(const AcDbIdMapping& map) {
    AcDbEntity::remapIds(map);
    m_blockId = map.translate(m_blockId);
    m_styleId = map.translate(m_styleId);
}

void AcDbDimension::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbEntity::collectReferences(hard);
    if (!m_blockId.isNull()) hard.append(m_blockId);
    if (!m_styleId.isNull()) hard.append(m_styleId);
}

// ---- leader ----

Adesk::Boolean AcDbLeader::appendVertex(const AcGePoint3d& p) {
    if (!isWriteEnabled()) return false;
    m_vertices.push_back(p);
    return true;
}

Adesk::Boolean AcDbLeader::setVertexAt(int i, const AcGePoint3d& p) {
    if (!isWriteEnabled() || i < 0 || i >= numVertices()) return false;
    m_vertices[static_cast<std::size_t>(i)] = p;
    return true;
}

Acad::ErrorStatus AcDbLeader::setToSplineLeader() {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_splined = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::setToStraightLeader() {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_splined = false;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::attachAnnotation(AcDbObjectId id) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (id.isNull()) return Acad::eNullObjectId;
    m_annotation = id;
    m_annoType = AcDbMText::cast(id.slot()->object) ? 0 : 2;
    return evaluateLeader();
}

Acad::ErrorStatus AcDbLeader::detachAnnotation() {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_annotation = AcDbObjectId();
    m_annoType = 3;
    m_hookLine = false;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::evaluateLeader() {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (m_annotation.isNull() || m_annotation.isErased() || m_vertices.empty()) return Acad::eOk;
    AcDbMText* text = nullptr;
    if (acdbOpenObject(text, m_annotation, AcDb::kForRead) != Acad::eOk) return Acad::eOk;
    AcDbExtents box;
    text->getGeomExtents(box);
    const AcGePoint3d location = text->location();
    m_annoHeight = box.isValid() ? box.maxPoint().y - box.minPoint().y : 0.0;
    m_annoWidth = box.isValid() ? box.maxPoint().x - box.minPoint().x : 0.0;
    text->close();
    // The leader ends with a hook line towards the annotation when the last segment
    // does not already run horizontally into it.
    const AcGePoint3d end = m_vertices.back();
    m_hookOnX = location.x >= end.x;
    m_hookLine = m_vertices.size() >= 2 && std::abs(m_vertices[m_vertices.size() - 2].y - end.y) > 1e-9;
    m_annoOffset = location - end;
    return Acad::eOk;
}

namespace {
// Dimension-variable overrides live in the leader's extended data:
// 1001 ACAD, 1000 DSTYLE, 1002 {, (1070 code, 1040 value)*, 1002 }.
long long overrideCode(const std::string& text) {
    long long c = -1;
    return hostrx::parseInteger(text, c) ? c : -1;
}

bool findOverride(const hostdb::FilerItems& xdata, int code, double& value) {
    bool inAcad = false;
    for (std::size_t i = 0; i + 1 < xdata.size(); ++i) {
        if (xdata[i].code == 1001) inAcad = xdata[i].value == "ACAD";
        if (!inAcad || xdata[i].code != 1070) continue;
        if (overrideCode(xdata[i].value) == code && xdata[i + 1].code == 1040) {
            value = hostrx::numberOrZero(xdata[i + 1].value);
            return true;
        }
    }
    return false;
}
}  // namespace

std::optional<double> AcDbLeader::overrideValue(int code) const {
    double v = 0.0;
    if (foreignData() && findOverride(foreignData()->xdata(), code, v)) return v;
    return std::nullopt;
}

void AcDbLeader::setOverrideValue(int code, double v) {
    auto& xdata = foreign().xdata();
    const std::string text = hostrx::formatNumber(v);
    bool inAcad = false;
    for (std::size_t i = 0; i + 1 < xdata.size(); ++i) {
        if (xdata[i].code == 1001) inAcad = xdata[i].value == "ACAD";
        if (inAcad && xdata[i].code == 1070 && overrideCode(xdata[i].value) == code && xdata[i + 1].code == 1040) {
            xdata[i + 1].value = text;
            return;
        }
    }
    // Add to an existing ACAD DSTYLE group, or start one.
    for (std::size_t i = 0; i + 2 < xdata.size(); ++i)
        if (xdata[i].code == 1001 && xdata[i].value == "ACAD" && xdata[i + 1].value == "DSTYLE") {
            xdata.insert(xdata.begin() + static_cast<long>(i) + 3,
                         {{1070, std::to_string(code)}, {1040, text}});
            return;
        }
    xdata.insert(xdata.end(), {{1001, "ACAD"}, {1000, "DSTYLE"}, {1002, "{"}, {1070, std::to_string(code)},
                               {1040, text}, {1002, "}"}});
}

double AcDbLeader::dimscale() const {
    if (const auto v = overrideValue(40)) return *v;
    if (!m_styleId.isNull())
        if (const auto* s = AcDbDimStyleTableRecord::cast(m_styleId.slot()->object)) return s->dimscale();
    return database() ? database()->dimscale() : 1.0;
}

double AcDbLeader::dimtxt() const {
    if (const auto v = overrideValue(140)) return *v;
    if (!m_styleId.isNull())
        if (const auto* s = AcDbDimStyleTableRecord::cast(m_styleId.slot()->object)) return s->dimtxt();
    return 2.5;
}

void AcDbLeader::subSetDatabaseDefaults(AcDbDatabase* db) {
    if (m_styleId.isNull() || m_styleId.database() != db) m_styleId = db->dimstyle();
}

Acad::ErrorStatus AcDbLeader::setDimscale(double v) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    setOverrideValue(40, v);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::setDimtxt(double v) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    setOverrideValue(140, v);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    for (auto& v : m_vertices) v = m * v;
    const AcGeVector3d n = m * m_normal, h = m * m_horizontal;
    if (!n.isZeroLength()) m_normal = n.normal();
    if (!h.isZeroLength()) m_horizontal = h.normal();
    m_annoOffset = m * m_annoOffset;
    m_blockOffset = m * m_blockOffset;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    for (const auto& v : m_vertices) ext.addPoint(v);
    return m_vertices.empty() ? Acad::eInvalidExtents : Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::explode(AcDbVoidPtrArray& set) const {
    for (std::size_t i = 1; i < m_vertices.size(); ++i) {
        auto* line = new AcDbLine(m_vertices[i - 1], m_vertices[i]);
        line->setPropertiesFrom(this, false);
        set.append(line);
    }
    return Acad::eOk;
}

void AcDbLeader::remapIds(const AcDbIdMapping& map) {
    AcDbEntity::remapIds(map);
    m_annotation = map.translate(m_annotation);
    m_styleId = map.translate(m_styleId);
}

void AcDbLeader::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbEntity::collectReferences(hard);
    if (!m_styleId.isNull()) hard.append(m_styleId);
}
