#include "blockreference.h"

#include "blocktable.h"
#include "curves.h"
#include "database.h"
#include "foreignentity.h"
#include "idmapping.h"
#include "text.h"

#include <cmath>

ACRX_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity, "INSERT")

namespace {
// Nesting depth of extents and explode walks: a block that (through damage) reaches
// itself again stops here instead of recursing without end.
thread_local int g_nesting = 0;
constexpr int kMaxNesting = 64;

struct NestingGuard {
    NestingGuard() { ++g_nesting; }
    ~NestingGuard() { --g_nesting; }
    bool tooDeep() const { return g_nesting > kMaxNesting; }
};

bool isPolylineWithArcs(const AcDbEntity& e) {
    if (AcDbPolyline::cast(&e)) return true;
    const auto* foreign = AcDbForeignEntity::cast(&e);
    return foreign && foreign->dxfName() == "POLYLINE";
}

// The transformed copy, not a transformed clone: a circle in an unevenly scaled
// reference comes out as an ellipse. A polyline whose arcs cannot be stretched as one
// polyline comes out as its segments, the arcs elliptical.
Acad::ErrorStatus placeCopies(const AcDbEntity& ent, const AcGeMatrix3d& m, std::vector<std::unique_ptr<AcDbEntity>>& out) {
    AcDbEntity* placed = nullptr;
    const Acad::ErrorStatus es = ent.getTransformedCopy(m, placed);
    if (es == Acad::eOk) {
        if (placed) out.emplace_back(placed);
        return es;
    }
    if (es != Acad::eNotApplicable || !isPolylineWithArcs(ent)) return es;
    AcDbVoidPtrArray pieces;
    const Acad::ErrorStatus exploded = ent.explode(pieces);
    std::vector<std::unique_ptr<AcDbEntity>> owned;
    for (void* piece : pieces) owned.emplace_back(static_cast<AcDbEntity*>(piece));
    if (exploded != Acad::eOk) return es;
    for (const auto& piece : owned) {
        AcDbEntity* copy = nullptr;
        if (const auto pes = piece->getTransformedCopy(m, copy); pes != Acad::eOk) return pes;
        out.emplace_back(copy);
    }
    return Acad::eOk;
}

std::unique_ptr<AcDbAttribute> copyAttribute(AcDbObjectId id) {
    AcDbAttribute* attr = nullptr;
    if (acdbOpenObject(attr, id, AcDb::kForRead) != Acad::eOk) return nullptr;
    std::unique_ptr<AcDbAttribute> copy(static_cast<AcDbAttribute*>(attr->clone()));
    attr->close();
    return copy;
}
}  // namespace

AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId block)
    : m_blockId(block), m_position(position) {}

AcDbBlockReference::AcDbBlockReference(const AcDbBlockReference& other)
    : AcDbEntity(other), m_blockId(other.m_blockId), m_position(other.m_position), m_scale(other.m_scale),
      m_rotation(other.m_rotation), m_normal(other.m_normal), m_attributes(other.m_attributes),
      m_seqEndId(other.m_seqEndId) {
    for (const auto& pending : other.m_pending)
        m_pending.emplace_back(static_cast<AcDbAttribute*>(pending->clone()));
}

// The clone carries copies of the attributes, which join a database with it; the
// attributes themselves and the end of their sequence stay with the original.
AcRxObject* AcDbBlockReference::clone() const {
    auto* copy = new AcDbBlockReference(*this);
    copy->m_attributes.clear();
    copy->m_seqEndId = AcDbObjectId();
    std::vector<std::unique_ptr<AcDbAttribute>> attributes;
    for (AcDbObjectId id : m_attributes)
        if (!id.isErased())
            if (auto attribute = copyAttribute(id)) attributes.push_back(std::move(attribute));
    for (auto& pending : copy->m_pending) attributes.push_back(std::move(pending));
    copy->m_pending = std::move(attributes);
    return copy;
}

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId id) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (id.isNull() || !AcDbBlockTableRecord::cast(id.slot()->object)) return Acad::eInvalidInput;
    m_blockId = id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& p) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_position = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeVector3d& s) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (s.x == 0.0 || s.y == 0.0 || s.z == 0.0) return Acad::eInvalidInput;
    m_scale = s;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setRotation(double a) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_rotation = a;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& n) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (n.isZeroLength()) return Acad::eInvalidInput;
    m_normal = n.normal();
    return Acad::eOk;
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const {
    AcGePoint3d origin;
    if (!m_blockId.isNull() && m_blockId.slot()->object)
        if (const auto* rec = AcDbBlockTableRecord::cast(m_blockId.slot()->object)) origin = rec->origin();
    const auto f = AcGePlaneFrame::fromNormal(m_normal);
    const AcGeVector3d x = f.direction(m_rotation) * m_scale.x;
    const AcGeVector3d y = f.direction(m_rotation + std::acos(-1.0) / 2.0) * m_scale.y;
    const AcGeVector3d z = f.normal * m_scale.z;
    AcGeMatrix3d m;
    const AcGeVector3d cols[3] = {x, y, z};
    for (unsigned c = 0; c < 3; ++c) {
        m(0, c) = cols[c].x;
        m(1, c) = cols[c].y;
        m(2, c) = cols[c].z;
    }
    m.setTranslation(m_position.asVector() - m.apply(origin.asVector()));
    return m;
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const AcGeVector3d x{m(0, 0), m(1, 0), m(2, 0)}, y{m(0, 1), m(1, 1), m(2, 1)}, z{m(0, 2), m(1, 2), m(2, 2)};
    const double sx = x.length(), sy = y.length(), sz = z.length();
    if (sx == 0.0 || sy == 0.0 || sz == 0.0) return Acad::eInvalidInput;
    const double tol = 1e-9;
    if (std::abs(x.dotProduct(y)) > tol * sx * sy || std::abs(x.dotProduct(z)) > tol * sx * sz ||
        std::abs(y.dotProduct(z)) > tol * sy * sz)
        return Acad::eNotApplicable;  // sheared: no position, rotation and scale give it
    const AcGeVector3d normal = x.crossProduct(y).normal();
    const auto f = AcGePlaneFrame::fromNormal(normal);
    AcGePoint3d origin;
    if (!m_blockId.isNull() && m_blockId.slot()->object)
        if (const auto* rec = AcDbBlockTableRecord::cast(m_blockId.slot()->object)) origin = rec->origin();
    m_normal = normal;
    m_rotation = f.angleOf(x);
    if (m_rotation < 0) m_rotation += 2.0 * std::acos(-1.0);
    m_scale = {sx, sy, z.dotProduct(normal) < 0 ? -sz : sz};
    m_position = m * origin;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute) {
    id = AcDbObjectId();
    if (!attribute) return Acad::eNullPtr;
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!attribute->objectId().isNull()) return Acad::eAlreadyInDb;
    if (!database()) {
        m_pending.emplace_back(attribute);
        return Acad::eOk;
    }
    attribute->setOwnerId(objectId());
    attribute->setDatabaseDefaults(database());
    if (const auto es = database()->addAcDbObject(id, attribute); es != Acad::eOk) return es;
    m_attributes.push_back(id);
    return Acad::eOk;
}

void AcDbBlockReference::onAppended() {
    auto pending = std::move(m_pending);
    m_pending.clear();
    for (auto& attr : pending) {
        AcDbObjectId id;
        AcDbAttribute* raw = attr.release();
        if (appendAttribute(id, raw) == Acad::eOk)
            raw->close();
        else
            delete raw;
    }
}

AcDbObjectIterator* AcDbBlockReference::attributeIterator() const { return new AcDbObjectIterator(m_attributes); }

void AcDbBlockReference::forEachSubentity(const std::function<void(AcDbEntity&)>& change) {
    for (auto& attr : m_pending) change(*attr);
    for (AcDbObjectId id : m_attributes) {
        AcDbAttribute* attr = nullptr;
        if (acdbOpenObject(attr, id, AcDb::kForWrite) != Acad::eOk) continue;
        change(*attr);
        attr->close();
    }
}

Acad::ErrorStatus AcDbBlockReference::transformBy(const AcGeMatrix3d& xform) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (const auto es = setBlockTransform(xform * blockTransform()); es != Acad::eOk) return es;
    forEachSubentity([&](AcDbEntity& attr) { attr.transformBy(xform); });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    NestingGuard guard;
    if (guard.tooDeep()) return Acad::eSelfReference;
    const auto* rec = m_blockId.isNull() ? nullptr : AcDbBlockTableRecord::cast(m_blockId.slot()->object);
    if (!rec) return Acad::eInvalidExtents;
    const AcGeMatrix3d m = blockTransform();
    for (AcDbObjectId id : rec->entityIds()) {
        if (id.isErased()) continue;
        const auto* ent = AcDbEntity::cast(id.slot()->object);
        if (!ent || AcDbAttributeDefinition::cast(ent)) continue;  // definitions are not drawn in a reference
        AcDbExtents part;
        if (ent->getGeomExtents(part) != Acad::eOk) continue;
        part.transformBy(m);
        ext.addExt(part);
    }
    for (AcDbObjectId id : m_attributes) {
        if (id.isErased()) continue;
        AcDbExtents part;
        if (const auto* attr = AcDbEntity::cast(id.slot()->object); attr && attr->getGeomExtents(part) == Acad::eOk)
            ext.addExt(part);
    }
    // A reference whose definition draws nothing has no extents, as in the drawing
    // program; the insertion point stands in so that callers that ignore the status
    // still get a place.
    if (!ext.isValid()) {
        ext.addPoint(m_position);
        return Acad::eInvalidExtents;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::explode(AcDbVoidPtrArray& set) const {
    NestingGuard guard;
    if (guard.tooDeep()) return Acad::eSelfReference;
    AcDbBlockTableRecord* rec = nullptr;
    if (const auto es = acdbOpenObject(rec, m_blockId, AcDb::kForRead); es != Acad::eOk) return es;
    const std::vector<AcDbObjectId> ids = rec->entityIds();
    rec->close();
    const AcGeMatrix3d m = blockTransform();
    std::vector<std::unique_ptr<AcDbEntity>> parts;
    for (AcDbObjectId id : ids) {
        if (id.isErased()) continue;
        AcDbEntity* ent = nullptr;
        if (acdbOpenObject(ent, id, AcDb::kForRead) != Acad::eOk) continue;
        const Acad::ErrorStatus es = placeCopies(*ent, m, parts);
        ent->close();
        if (es != Acad::eOk) return Acad::eCannotExplodeEntity;  // parts so far are freed
    }
    for (auto& part : parts) set.append(part.release());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::explodeToOwnerSpace() const {
    AcDbVoidPtrArray parts;
    if (const auto es = explode(parts); es != Acad::eOk) return es;
    AcDbBlockTableRecord* owner = nullptr;
    const auto es = acdbOpenObject(owner, ownerId(), AcDb::kForWrite);
    for (void* p : parts) {
        auto* ent = static_cast<AcDbEntity*>(p);
        if (es == Acad::eOk && owner->appendAcDbEntity(ent) == Acad::eOk)
            ent->close();
        else
            delete ent;
    }
    if (owner) owner->close();
    return es;
}

void AcDbBlockReference::remapIds(const AcDbIdMapping& map) {
    AcDbEntity::remapIds(map);
    m_blockId = map.translate(m_blockId);
    for (auto& id : m_attributes) id = map.translate(id);
    m_seqEndId = map.translate(m_seqEndId);
}

void AcDbBlockReference::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbEntity::collectReferences(hard);
    if (!m_blockId.isNull()) hard.append(m_blockId);
    for (AcDbObjectId id : m_attributes) hard.append(id);
    if (!m_seqEndId.isNull()) hard.append(m_seqEndId);
}

AcDbObjectIterator::AcDbObjectIterator(std::vector<AcDbObjectId> ids) : m_ids(std::move(ids)) { skip(); }

void AcDbObjectIterator::skip() {
    while (m_pos < m_ids.size() && m_ids[m_pos].isErased()) ++m_pos;
}

void AcDbObjectIterator::start(bool atEnd) {
    m_pos = atEnd ? (m_ids.empty() ? 0 : m_ids.size() - 1) : 0;
    skip();
}

void AcDbObjectIterator::step(bool backwards, bool skipErased) {
    if (backwards) {
        m_pos = m_pos == 0 ? m_ids.size() : m_pos - 1;
        return;
    }
    ++m_pos;
    if (skipErased) skip();
}

AcDbEntity* AcDbObjectIterator::entity() const {
    return done() ? nullptr : AcDbEntity::cast(m_ids[m_pos].slot()->object);
}
