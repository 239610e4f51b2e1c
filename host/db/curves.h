#pragma once

// The simple curve entities: line, circle, arc, light-weight polyline, point.

#include "entity.h"

#include "../ge/planeframe.h"

#include <vector>

class AcDbLine : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbLine)
    AcDbLine() = default;
    AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
    AcRxObject* clone() const override { return new AcDbLine(*this); }

    AcGePoint3d startPoint() const { return m_start; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
    AcGePoint3d endPoint() const { return m_end; }
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
    double thickness() const { return m_thickness; }
    void setThickness(double t) { m_thickness = t; }
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& n) { m_normal = n; }

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

private:
    AcGePoint3d m_start, m_end;
    double m_thickness = 0.0;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
};

// A circle in the plane of its normal; the centre is in world coordinates.
class AcDbCircle : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbCircle)
    AcDbCircle() = default;
    AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius)
        : m_center(center), m_normal(normal.normal()), m_radius(radius) {}
    AcRxObject* clone() const override { return new AcDbCircle(*this); }

    AcGePoint3d center() const { return m_center; }
    void setCenter(const AcGePoint3d& c) { m_center = c; }
    double radius() const { return m_radius; }
    void setRadius(double r) { m_radius = r; }
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& n) { m_normal = n.normal(); }
    double thickness() const { return m_thickness; }
    void setThickness(double t) { m_thickness = t; }

    // An uneven scale leaves no circle: transformBy refuses it, and the transformed copy
    // is an ellipse.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& copy) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

protected:
    AcGePoint3d m_center;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
    double m_radius = 0.0;
    double m_thickness = 0.0;
};

// An arc: counter-clockwise about the normal from the start to the end angle, angles
// measured in the plane frame of the normal.
class AcDbArc : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbArc)
    AcDbArc() = default;
    AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
        : m_center(center), m_radius(radius), m_start(startAngle), m_end(endAngle) {}
    AcRxObject* clone() const override { return new AcDbArc(*this); }

    AcGePoint3d center() const { return m_center; }
    void setCenter(const AcGePoint3d& c) { m_center = c; }
    double radius() const { return m_radius; }
    void setRadius(double r) { m_radius = r; }
    double startAngle() const { return m_start; }
    void setStartAngle(double a) { m_start = a; }
    double endAngle() const { return m_end; }
    void setEndAngle(double a) { m_end = a; }
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& n) { m_normal = n.normal(); }
    double thickness() const { return m_thickness; }
    void setThickness(double t) { m_thickness = t; }
    AcGePoint3d pointAt(double angle) const;

    // As for a circle: stretched unevenly, the copy is an elliptical arc.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& copy) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

private:
    AcGePoint3d m_center;
    double m_radius = 0.0, m_start = 0.0, m_end = 0.0;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
    double m_thickness = 0.0;
};

// A light-weight polyline: 2D vertices with bulges and widths, in the plane frame of
// its normal at its elevation.
class AcDbPolyline : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbPolyline)
    AcDbPolyline() = default;
    AcRxObject* clone() const override { return new AcDbPolyline(*this); }

    struct Vertex {
        AcGePoint2d point;
        double bulge = 0.0;
        double startWidth = 0.0;
        double endWidth = 0.0;
        bool operator==(const Vertex&) const = default;
    };

    unsigned numVerts() const { return static_cast<unsigned>(m_vertices.size()); }
    const std::vector<Vertex>& vertices() const { return m_vertices; }
    std::vector<Vertex>& vertices() { return m_vertices; }
    Acad::ErrorStatus addVertexAt(unsigned index, const AcGePoint2d& p, double bulge = 0.0, double startWidth = 0.0,
                                  double endWidth = 0.0);
    AcGePoint3d vertexAt(unsigned index) const;  // in world coordinates
    bool isClosed() const { return m_closed; }
    void setClosed(bool closed) { m_closed = closed; }
    bool hasPlinegen() const { return m_plinegen; }
    void setPlinegen(bool on) { m_plinegen = on; }
    double elevation() const { return m_elevation; }
    void setElevation(double e) { m_elevation = e; }
    double constantWidth() const { return m_constantWidth; }
    void setConstantWidth(double w) { m_constantWidth = w; }
    bool hasConstantWidth() const { return m_hasConstantWidth; }
    void setHasConstantWidth(bool v) { m_hasConstantWidth = v; }
    double thickness() const { return m_thickness; }
    void setThickness(double t) { m_thickness = t; }
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& n) { m_normal = n.normal(); }

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;

private:
    std::vector<Vertex> m_vertices;
    bool m_closed = false, m_plinegen = false, m_hasConstantWidth = false;
    double m_elevation = 0.0, m_constantWidth = 0.0, m_thickness = 0.0;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
};

class AcDbPoint : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbPoint)
    AcDbPoint() = default;
    explicit AcDbPoint(const AcGePoint3d& p) : m_position(p) {}
    AcRxObject* clone() const override { return new AcDbPoint(*this); }

    AcGePoint3d position() const { return m_position; }
    void setPosition(const AcGePoint3d& p) { m_position = p; }
    double thickness() const { return m_thickness; }
    void setThickness(double t) { m_thickness = t; }
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& n) { m_normal = n.normal(); }
    double ecsRotation() const { return m_ecsRotation; }
    void setEcsRotation(double a) { m_ecsRotation = a; }

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

private:
    AcGePoint3d m_position;
    double m_thickness = 0.0, m_ecsRotation = 0.0;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
};
