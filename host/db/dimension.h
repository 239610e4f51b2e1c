#pragma once

#include "entity.h"

#include <memory>
#include <optional>
#include <vector>

// A dimension: its measured geometry, its text and the anonymous block that holds its
// drawn lines, arrows and text. Kind-specific definition points are kept by group code.
class AcDbDimension : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbDimension)
    AcDbDimension() = default;
    AcRxObject* clone() const override { return new AcDbDimension(*this); }

    AcDbObjectId dimBlockId() const { return m_blockId; }
    void setDimBlockId(AcDbObjectId id) { m_blockId = id; }
    AcGePoint3d dimBlockPosition() const { return m_blockPosition; }
    void setDimBlockPosition(const AcGePoint3d& p) { m_blockPosition = p; }
    AcDbObjectId dimensionStyle() const { return m_styleId; }
    void setDimensionStyle(AcDbObjectId id) { m_styleId = id; }
    AcGePoint3d definitionPoint() const { return m_defPoint; }
    void setDefinitionPoint(const AcGePoint3d& p) { m_defPoint = p; }
    AcGePoint3d textPosition() const { return m_textPosition; }
    void setTextPosition(const AcGePoint3d& p) { m_textPosition = p; }
    int dimensionType() const { return m_type; }  // 0 rotated, 1 aligned, 2 angular, ... (+32, +64, +128 flags)
    void setDimensionType(int t) { m_type = t; }
    int attachment() const { return m_attachment; }
    void setAttachment(int a) { m_attachment = a; }
    double measurement() const { return m_measurement; }
    void setMeasurement(double v) { m_measurement = v; }
    const std::wstring& dimensionText() const { return m_text; }
    void setDimensionText(const std::wstring& t) { m_text = t; }
    double textRotation() const { return m_textRotation; }
    void setTextRotation(double a) { m_textRotation = a; }
    double horizontalRotation() const { return m_horizontalRotation; }
    void setHorizontalRotation(double a) { m_horizontalRotation = a; }
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& n) { m_normal = n; }

    // The kind-specific part (rotated, aligned, angular, ...) is kept as persisted data
    // under its class markers; its definition points move with transformBy.
    const std::string& kindSubclass() const { return m_kindSubclass; }
    void setKindSubclass(std::string s) { m_kindSubclass = std::move(s); }

    // A move keeps the geometry block and carries the block position along. A
    // transformation that turns, mirrors or scales gives the dimension a geometry block
    // of its own that holds the transformed geometry in world coordinates; outside a
    // database that block is made when the dimension joins one.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
    void onAppended() override;

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

private:
    using Geometry = std::vector<std::shared_ptr<const AcDbEntity>>;
    Acad::ErrorStatus transformedGeometry(const AcGeMatrix3d& xform, Geometry& out) const;
    void transformAngles(const AcGeMatrix3d& xform, const AcGeVector3d& oldNormal);
    Acad::ErrorStatus makeGeometryBlock();

    // Transformed geometry waiting for a database to hold it as this dimension's block;
    // shared by copies, never changed once made.
    Geometry m_pendingGeometry;
    AcDbObjectId m_blockId, m_styleId;
    AcGePoint3d m_blockPosition, m_defPoint, m_textPosition;
    int m_type = 0, m_attachment = 5;
    double m_measurement = -1.0, m_textRotation = 0.0, m_horizontalRotation = 0.0;
    std::wstring m_text;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
    std::string m_kindSubclass;
};

// A leader: a straight or spline path of vertices ending at an annotation.
class AcDbLeader : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbLeader)
    AcDbLeader() = default;
    AcRxObject* clone() const override { return new AcDbLeader(*this); }

    int numVertices() const { return static_cast<int>(m_vertices.size()); }
    AcGePoint3d vertexAt(int i) const { return m_vertices.at(static_cast<std::size_t>(i)); }
    Adesk::Boolean appendVertex(const AcGePoint3d& p);
    Adesk::Boolean setVertexAt(int i, const AcGePoint3d& p);
    const std::vector<AcGePoint3d>& vertices() const { return m_vertices; }
    std::vector<AcGePoint3d>& vertices() { return m_vertices; }
    AcGePoint3d firstVertex() const { return m_vertices.empty() ? AcGePoint3d() : m_vertices.front(); }
    AcGePoint3d lastVertex() const { return m_vertices.empty() ? AcGePoint3d() : m_vertices.back(); }

    bool isSplined() const { return m_splined; }
    Acad::ErrorStatus setToSplineLeader();
    Acad::ErrorStatus setToStraightLeader();
    bool hasArrowHead() const { return m_arrowHead; }
    void enableArrowHead() { m_arrowHead = true; }
    void disableArrowHead() { m_arrowHead = false; }
    bool hasHookLine() const { return m_hookLine; }
    void setHasHookLine(bool v) { m_hookLine = v; }
    bool hookLineOnXDir() const { return m_hookOnX; }
    void setHookLineOnXDir(bool v) { m_hookOnX = v; }
    int annotationType() const { return m_annoType; }  // 0 mtext, 1 tolerance, 2 block, 3 none
    void setAnnotationType(int t) { m_annoType = t; }
    double annoHeight() const { return m_annoHeight; }
    void setAnnoHeight(double h) { m_annoHeight = h; }
    double annoWidth() const { return m_annoWidth; }
    void setAnnoWidth(double w) { m_annoWidth = w; }
    AcGeVector3d annotationOffset() const { return m_annoOffset; }
    void setAnnotationOffset(const AcGeVector3d& v) { m_annoOffset = v; }
    AcGeVector3d blockOffset() const { return m_blockOffset; }
    void setBlockOffset(const AcGeVector3d& v) { m_blockOffset = v; }
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& n) { m_normal = n; }
    AcGeVector3d horizontalDirection() const { return m_horizontal; }
    void setHorizontalDirection(const AcGeVector3d& v) { m_horizontal = v; }

    AcDbObjectId annotationObjId() const { return m_annotation; }
    // For the file reader: the annotation as the file states it, without evaluation.
    void setAnnotationIdDirect(AcDbObjectId id) { m_annotation = id; }
    // Attaches an annotation (an mtext) to the leader's end.
    Acad::ErrorStatus attachAnnotation(AcDbObjectId id);
    Acad::ErrorStatus detachAnnotation();
    // Places the annotation at the leader's end and sets the hook line again.
    Acad::ErrorStatus evaluateLeader();

    AcDbObjectId dimensionStyle() const { return m_styleId; }
    void setDimensionStyle(AcDbObjectId id) { m_styleId = id; }
    // Dimension variables of the leader: its own override, else its style, else the drawing's.
    double dimscale() const;
    Acad::ErrorStatus setDimscale(double v);
    double dimtxt() const;
    Acad::ErrorStatus setDimtxt(double v);
    // A leader without a style of the database takes its current one (DIMSTYLE).
    void subSetDatabaseDefaults(AcDbDatabase* db) override;

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

private:
    std::optional<double> overrideValue(int code) const;
    void setOverrideValue(int code, double v);

    std::vector<AcGePoint3d> m_vertices;
    bool m_splined = false, m_arrowHead = true, m_hookLine = false, m_hookOnX = true;
    int m_annoType = 3;
    double m_annoHeight = 0.0, m_annoWidth = 0.0;
    AcGeVector3d m_annoOffset, m_blockOffset;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis}, m_horizontal{AcGeVector3d::kXAxis};
    AcDbObjectId m_annotation, m_styleId;
};
