#pragma once

#include "entity.h"

#include "../ge/planeframe.h"

#include "text.h"
class AcDbObjectIterator;

// An insertion of a block definition: position, scale, rotation about the normal and
// the attributes it owns. Its transform maps block coordinates (relative to the
// block's origin) to world coordinates.
class AcDbBlockReference : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockReference)
    AcDbBlockReference() = default;
    AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord);
    // A copy with copies of the attributes, which join a database with the copy.
    AcRxObject* clone() const override;

    AcDbObjectId blockTableRecord() const { return m_blockId; }
    Acad::ErrorStatus setBlockTableRecord(AcDbObjectId id);
    AcGePoint3d position() const { return m_position; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    AcGeVector3d scaleFactors() const { return m_scale; }
    Acad::ErrorStatus setScaleFactors(const AcGeVector3d& s);
    double rotation() const { return m_rotation; }
    Acad::ErrorStatus setRotation(double a);
    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);

    AcGeMatrix3d blockTransform() const;
    // Sets position, rotation, normal and scale from a transform without shear.
    Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& m);

    // Attributes: a new attribute (owned by the caller until then) joins the reference;
    // a resident reference adds it to the database at once.
    Acad::ErrorStatus appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute);
    Acad::ErrorStatus appendAttribute(AcDbAttribute* attribute) {
        AcDbObjectId id;
        return appendAttribute(id, attribute);
    }
    AcDbObjectIterator* attributeIterator() const;
    const std::vector<AcDbObjectId>& attributeIds() const { return m_attributes; }
    void appendAttributeId(AcDbObjectId id) { m_attributes.push_back(id); }
    // The end marker of the attribute sequence in a drawing file.
    AcDbObjectId sequenceEndId() const { return m_seqEndId; }
    void setSequenceEndId(AcDbObjectId id) { m_seqEndId = id; }
    // Attributes not yet in a database (appended before the reference was).
    std::vector<std::unique_ptr<AcDbAttribute>>& pendingAttributes() { return m_pending; }

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    void onAppended() override;
    // The block's entities transformed into place, attribute definitions included;
    // nested references stay references. Unevenly scaled, a circle or an arc comes out
    // as an ellipse, and a polyline with arcs as its segments (lines and elliptical
    // arcs). Attributes of this reference are not part of the result.
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
    // Explodes and appends the parts to the block that owns this reference.
    Acad::ErrorStatus explodeToOwnerSpace() const;

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

protected:
    // Every member as it is, attribute ids included; a copy of a reference not yet in a
    // database takes copies of its pending attributes.
    AcDbBlockReference(const AcDbBlockReference& other);
    void forEachSubentity(const std::function<void(AcDbEntity&)>& change) override;

private:
    AcDbObjectId m_blockId;
    AcGePoint3d m_position;
    AcGeVector3d m_scale{1.0, 1.0, 1.0};
    double m_rotation = 0.0;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
    std::vector<AcDbObjectId> m_attributes;
    std::vector<std::unique_ptr<AcDbAttribute>> m_pending;
    AcDbObjectId m_seqEndId;
};

// Walks a list of ids (the attributes of a reference), skipping erased ones.
class AcDbObjectIterator {
public:
    explicit AcDbObjectIterator(std::vector<AcDbObjectId> ids);
    void start(bool atEnd = false);
    bool done() const { return m_pos >= m_ids.size(); }
    void step(bool backwards = false, bool skipErased = true);
    AcDbObjectId objectId() const { return done() ? AcDbObjectId() : m_ids[m_pos]; }
    AcDbEntity* entity() const;

private:
    void skip();
    std::vector<AcDbObjectId> m_ids;
    std::size_t m_pos = 0;
};
