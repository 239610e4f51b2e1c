#pragma once

#include "entity.h"

#include <utility>

// Multi-line text with inline formatting codes. When a field is attached under
// "TEXT", the text shown is the field's evaluated value.
class AcDbMText : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbMText)
    AcDbMText() = default;
    AcRxObject* clone() const override { return new AcDbMText(*this); }

    enum AttachmentPoint {
        kTopLeft = 1, kTopCenter, kTopRight, kMiddleLeft, kMiddleCenter, kMiddleRight,
        kBottomLeft, kBottomCenter, kBottomRight
    };

    AcGePoint3d location() const { return m_location; }
    Acad::ErrorStatus setLocation(const AcGePoint3d& p);
    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    AcGeVector3d direction() const { return m_direction; }
    Acad::ErrorStatus setDirection(const AcGeVector3d& d);
    double rotation() const;
    Acad::ErrorStatus setRotation(double angle);
    double textHeight() const { return m_height; }
    Acad::ErrorStatus setTextHeight(double h);
    double width() const { return m_width; }
    Acad::ErrorStatus setWidth(double w);
    AttachmentPoint attachment() const { return m_attachment; }
    Acad::ErrorStatus setAttachment(AttachmentPoint a);
    // Sets the attachment and moves the location so that the text stays where it is.
    Acad::ErrorStatus setAttachmentMovingLocation(AttachmentPoint a);
    int flowDirection() const { return m_flowDirection; }
    void setFlowDirection(int d) { m_flowDirection = d; }
    double lineSpacingFactor() const { return m_lineSpacingFactor; }
    void setLineSpacingFactor(double f) { m_lineSpacingFactor = f; }
    int lineSpacingStyle() const { return m_lineSpacingStyle; }
    void setLineSpacingStyle(int s) { m_lineSpacingStyle = s; }
    AcDbObjectId textStyle() const { return m_style; }
    Acad::ErrorStatus setTextStyle(AcDbObjectId id);

    // The stored contents with formatting codes, copied for acutDelString.
    ACHAR* contents() const;
    // The text shown: the evaluated "TEXT" field when there is one, else the contents.
    std::wstring displayText() const;
    const std::wstring& contentsConst() const { return m_contents; }
    Acad::ErrorStatus setContents(const ACHAR* text);

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

private:
    // The width and height of the text's frame, along its direction and across it.
    std::pair<double, double> frameSize() const;
    // Where the attachment point a lies from the frame's top-left corner.
    AcGeVector3d offsetFromTopLeft(AttachmentPoint a) const;

    AcGePoint3d m_location;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
    AcGeVector3d m_direction{AcGeVector3d::kXAxis};
    double m_height = 2.5, m_width = 0.0, m_lineSpacingFactor = 1.0;
    AttachmentPoint m_attachment = kTopLeft;
    int m_flowDirection = 1, m_lineSpacingStyle = 1;
    AcDbObjectId m_style;
    std::wstring m_contents;
};
