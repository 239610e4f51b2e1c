#pragma once

#include "embeddedmtext.h"
#include "entity.h"

#include "../ge/planeframe.h"

// A single line of text. Positions are in world coordinates; the text lies in the
// plane of its normal, turned by its rotation from that plane's X axis.
class AcDbText : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbText)
    AcDbText() = default;
    AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style = AcDbObjectId::kNull,
             double height = 0.0, double rotation = 0.0);
    AcRxObject* clone() const override { return new AcDbText(*this); }

    AcGePoint3d position() const { return m_position; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    AcGePoint3d alignmentPoint() const { return m_alignment; }
    Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& p);
    // Whether the alignment point was given (set, or stated by a file) rather than left
    // to follow the position, as left-aligned text usually does.
    bool isAlignmentPointStated() const { return m_alignmentStated; }
    void setAlignmentPointStated(bool stated) { m_alignmentStated = stated; }
    bool isDefaultAlignment() const { return m_horz == AcDb::kTextLeft && m_vert == AcDb::kTextBase; }
    double height() const { return m_height; }
    Acad::ErrorStatus setHeight(double h);
    double widthFactor() const { return m_widthFactor; }
    Acad::ErrorStatus setWidthFactor(double w);
    double rotation() const { return m_rotation; }
    Acad::ErrorStatus setRotation(double a);
    double oblique() const { return m_oblique; }
    Acad::ErrorStatus setOblique(double a);
    double thickness() const { return m_thickness; }
    Acad::ErrorStatus setThickness(double t);
    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);
    AcDb::TextHorzMode horizontalMode() const { return m_horz; }
    Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode m);
    AcDb::TextVertMode verticalMode() const { return m_vert; }
    Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode m);
    bool isMirroredInX() const { return (m_generation & 2) != 0; }
    bool isMirroredInY() const { return (m_generation & 4) != 0; }
    int generationFlags() const { return m_generation; }
    void setGenerationFlags(int flags) { m_generation = flags; }
    AcDbObjectId textStyle() const { return m_style; }
    Acad::ErrorStatus setTextStyle(AcDbObjectId id);

    // The text as stored, copied for the caller to free with acutDelString.
    ACHAR* textString() const;
    const std::wstring& textStringConst() const { return m_text; }
    Acad::ErrorStatus setTextString(const ACHAR* text);
    // The text shown: the evaluated "TEXT" field when there is one, else the text string.
    std::wstring displayText() const;

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

protected:
    AcDbText(const AcDbText&) = default;

private:
    AcGePoint3d m_position, m_alignment;
    double m_height = 0.0, m_widthFactor = 1.0, m_rotation = 0.0, m_oblique = 0.0, m_thickness = 0.0;
    AcGeVector3d m_normal{AcGeVector3d::kZAxis};
    AcDb::TextHorzMode m_horz = AcDb::kTextLeft;
    AcDb::TextVertMode m_vert = AcDb::kTextBase;
    int m_generation = 0;
    bool m_alignmentStated = false;
    AcDbObjectId m_style;
    std::wstring m_text;
};

// The template of an attribute inside a block definition: tag, prompt and default text.
class AcDbAttributeDefinition : public AcDbText {
public:
    ACRX_DECLARE_MEMBERS(AcDbAttributeDefinition)
    AcDbAttributeDefinition() = default;
    AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag, const ACHAR* prompt,
                            AcDbObjectId style = AcDbObjectId::kNull);
    AcRxObject* clone() const override { return new AcDbAttributeDefinition(*this); }

    ACHAR* tag() const;
    const ACHAR* tagConst() const { return m_tag.c_str(); }
    Acad::ErrorStatus setTag(const ACHAR* tag);
    ACHAR* prompt() const;
    const ACHAR* promptConst() const { return m_prompt.c_str(); }
    Acad::ErrorStatus setPrompt(const ACHAR* prompt);
    bool isInvisible() const { return (m_flags & 1) != 0; }
    Acad::ErrorStatus setInvisible(bool v);
    bool isConstant() const { return (m_flags & 2) != 0; }
    Acad::ErrorStatus setConstant(bool v);
    bool isVerifiable() const { return (m_flags & 4) != 0; }
    bool isPreset() const { return (m_flags & 8) != 0; }
    Acad::ErrorStatus setPreset(bool v);
    int attributeFlags() const { return m_flags; }
    void setAttributeFlags(int flags) { m_flags = flags; }
    Adesk::UInt16 fieldLength() const { return m_fieldLength; }
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 n);

    // A multiline definition carries an MText with every line of its default (or constant)
    // text; its text string stays the single line that readers without MText show.
    bool isMTextAttributeDefinition() const { return m_mtext.has(); }
    // A copy of the embedded MText for the caller to delete; null for a single-line one.
    AcDbMText* getMTextAttributeDefinition() const { return m_mtext.copy(); }
    const AcDbMText* mtextAttributeDefinitionConst() const { return m_mtext.get(); }
    // Keeps a copy of mtext (null: single-line again).
    Acad::ErrorStatus setMTextAttributeDefinition(const AcDbMText* mtext);

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

private:
    std::wstring m_tag, m_prompt;
    int m_flags = 0;
    Adesk::UInt16 m_fieldLength = 0;
    hostdb::EmbeddedMText m_mtext;
};

// The value of one attribute of a block reference, owned by the reference.
class AcDbAttribute : public AcDbText {
public:
    ACRX_DECLARE_MEMBERS(AcDbAttribute)
    AcDbAttribute() = default;
    // Defined in the host, so that its virtual table lives there: an attribute made by a
    // module outlives the module once it is in a drawing.
    AcRxObject* clone() const override;

    ACHAR* tag() const;
    const ACHAR* tagConst() const { return m_tag.c_str(); }
    Acad::ErrorStatus setTag(const ACHAR* tag);
    bool isInvisible() const { return (m_flags & 1) != 0; }
    Acad::ErrorStatus setInvisible(bool v);
    bool isConstant() const { return (m_flags & 2) != 0; }
    int attributeFlags() const { return m_flags; }
    void setAttributeFlags(int flags) { m_flags = flags; }
    Adesk::UInt16 fieldLength() const { return m_fieldLength; }
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 n);

    // A multiline attribute's value is its embedded MText's contents, every line; its
    // text string stays the single line that readers without MText show.
    bool isMTextAttribute() const { return m_mtext.has(); }
    // A copy of the embedded MText for the caller to delete; null for a single-line one.
    AcDbMText* getMTextAttribute() const { return m_mtext.copy(); }
    const AcDbMText* mtextAttributeConst() const { return m_mtext.get(); }
    // Keeps a copy of mtext (null: single-line again). Made from a definition's MText,
    // placed as the attribute is, it makes the attribute multiline.
    Acad::ErrorStatus setMTextAttribute(const AcDbMText* mtext);

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

private:
    std::wstring m_tag;
    int m_flags = 0;
    Adesk::UInt16 m_fieldLength = 0;
    hostdb::EmbeddedMText m_mtext;
};
