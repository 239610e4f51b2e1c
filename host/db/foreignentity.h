#pragma once

#include "entity.h"

// An entity of a kind the host does not model (a hatch, a spline, a 3D face, ...). Its
// common properties are live; everything else is kept as it was read and written back
// unchanged, together with any records that follow it in the file (vertices and the
// end-of-sequence marker of an old-style polyline).
class AcDbForeignEntity : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbForeignEntity)
    explicit AcDbForeignEntity(std::string dxfName = "") : m_dxfName(std::move(dxfName)) {}
    AcDbForeignEntity(const AcDbForeignEntity& other) = default;
    // The clone's following records lose their handles and owner: they are the clone's
    // own, and the drawing-file writer gives them new ones.
    AcRxObject* clone() const override;

    const std::string& dxfName() const { return m_dxfName; }
    void setDxfName(std::string name) { m_dxfName = std::move(name); }
    // Whole records (each starting with its own type item) that belong to this entity.
    std::vector<hostdb::FilerItems>& followers() { return m_followers; }
    const std::vector<hostdb::FilerItems>& followers() const { return m_followers; }

    // The points of the known kinds move with the transform, world points as they are
    // and the corners of solids and traces through their plane; the extrusion direction
    // turns along. Hatches and old-style polylines are read and rewritten group by group
    // (hatchgeometry.h, oldpolyline.h). A kind whose geometry the host cannot place (a
    // solid of the embedded modeller, a proxy) refuses with eNotApplicable and is left
    // as it was.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // An old-style polyline breaks into lines, arcs or 3D faces; other kinds refuse.
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;

private:
    Acad::ErrorStatus transformPlanePoints(const AcGeMatrix3d& xform);
    Acad::ErrorStatus transformEllipse(const AcGeMatrix3d& xform);
    Acad::ErrorStatus transformShape(const AcGeMatrix3d& xform);

    std::string m_dxfName;
    std::vector<hostdb::FilerItems> m_followers;
};

namespace hostdb {
// The groups of an ELLIPSE (AcDbEllipse section) for the curve c + u cos t + v sin t,
// t from start to end: its own axes, ratio and parameters, the normal that gives it
// its sense. For a circle or an arc that a transformation stretches.
void setEllipseItems(FilerItems& items, const AcGePoint3d& center, const AcGeVector3d& u, const AcGeVector3d& v,
                     double start, double end);
}  // namespace hostdb

// The records that open and close a block definition, and the end marker of an
// attribute sequence: objects of their own with handles in a drawing file.
class AcDbBlockBegin : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockBegin)
    AcDbBlockBegin() = default;
    AcRxObject* clone() const override { return new AcDbBlockBegin(*this); }
};

class AcDbBlockEnd : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockEnd)
    AcDbBlockEnd() = default;
    AcRxObject* clone() const override { return new AcDbBlockEnd(*this); }
};

class AcDbSequenceEnd : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbSequenceEnd)
    AcDbSequenceEnd() = default;
    AcRxObject* clone() const override { return new AcDbSequenceEnd(*this); }
};
