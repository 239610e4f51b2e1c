#include "text.h"

#include "field.h"

#include "database.h"
#include "idmapping.h"

#include <algorithm>
#include <cmath>

ACRX_DEFINE_MEMBERS(AcDbText, AcDbEntity, "TEXT")
ACRX_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText, "ATTDEF")
ACRX_DEFINE_MEMBERS(AcDbAttribute, AcDbText, "ATTRIB")

namespace {
// Without font metrics the host estimates a character as wide as the text is high,
// times the width factor: enough for picking, extents and flipping in place.
constexpr double kCharWidth = 1.0;

template <class T>
Acad::ErrorStatus assign(AcDbObject& obj, T& field, const T& value) {
    if (!obj.isWriteEnabled()) return Acad::eNotOpenForWrite;
    field = value;
    return Acad::eOk;
}
}  // namespace

AcDbText::AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style, double height, double rotation)
    : m_position(position), m_alignment(position), m_height(height), m_rotation(rotation), m_style(style),
      m_text(text ? text : L"") {}

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& p) { return assign(*this, m_position, p); }
Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& p) {
    const auto es = assign(*this, m_alignment, p);
    if (es == Acad::eOk) m_alignmentStated = true;
    return es;
}
Acad::ErrorStatus AcDbText::setHeight(double h) { return assign(*this, m_height, h); }
Acad::ErrorStatus AcDbText::setWidthFactor(double w) { return assign(*this, m_widthFactor, w); }
Acad::ErrorStatus AcDbText::setRotation(double a) { return assign(*this, m_rotation, a); }
Acad::ErrorStatus AcDbText::setOblique(double a) { return assign(*this, m_oblique, a); }
Acad::ErrorStatus AcDbText::setThickness(double t) { return assign(*this, m_thickness, t); }
Acad::ErrorStatus AcDbText::setNormal(const AcGeVector3d& n) { return assign(*this, m_normal, n.normal()); }
Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode m) { return assign(*this, m_horz, m); }
Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode m) { return assign(*this, m_vert, m); }
Acad::ErrorStatus AcDbText::setTextStyle(AcDbObjectId id) { return assign(*this, m_style, id); }
Acad::ErrorStatus AcDbText::setTextString(const ACHAR* text) {
    return assign(*this, m_text, std::wstring(text ? text : L""));
}
ACHAR* AcDbText::textString() const { return hostdbDuplicateString(m_text); }

Acad::ErrorStatus AcDbText::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const auto from = AcGePlaneFrame::fromNormal(m_normal);
    // The text's own axes: along the baseline and up the characters.
    const AcGeVector3d along = from.direction(m_rotation);
    const AcGeVector3d up = from.direction(m_rotation + std::acos(-1.0) / 2.0);
    const AcGeVector3d newAlong = m * along, newUp = m * up;
    const AcGeVector3d n = newAlong.crossProduct(newUp);
    if (n.isZeroLength()) return Acad::eNotApplicable;
    const auto to = AcGePlaneFrame::fromNormal(n);
    m_position = m * m_position;
    m_alignment = m * m_alignment;
    m_rotation = to.angleOf(newAlong);
    if (m_rotation < 0) m_rotation += 2.0 * std::acos(-1.0);
    const double upScale = newUp.length(), alongScale = newAlong.length();
    m_height *= upScale;
    if (upScale > 0) m_widthFactor *= alongScale / upScale;
    m_thickness *= n.length() / std::max(upScale * alongScale, 1e-300);
    m_normal = to.normal;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::getGeomExtents(AcDbExtents& ext) const {
    const double w = static_cast<double>(m_text.size()) * m_height * m_widthFactor * kCharWidth;
    const double h = m_height;
    double x0 = 0.0, y0 = 0.0;
    AcGePoint3d anchor = m_position;
    if (!isDefaultAlignment()) {
        anchor = (m_horz == AcDb::kTextAlign || m_horz == AcDb::kTextFit) ? m_position : m_alignment;
        if (m_horz == AcDb::kTextCenter || m_horz == AcDb::kTextMid) x0 = -w / 2.0;
        if (m_horz == AcDb::kTextRight) x0 = -w;
        if (m_horz == AcDb::kTextMid || m_vert == AcDb::kTextVertMid) y0 = -h / 2.0;
        if (m_vert == AcDb::kTextTop) y0 = -h;
    }
    const auto f = AcGePlaneFrame::fromNormal(m_normal);
    const AcGeVector3d along = f.direction(m_rotation), up = f.direction(m_rotation + std::acos(-1.0) / 2.0);
    ext = AcDbExtents();
    for (double dx : {x0, x0 + w})
        for (double dy : {y0, y0 + h}) ext.addPoint(anchor + along * dx + up * dy);
    return Acad::eOk;
}

void AcDbText::remapIds(const AcDbIdMapping& map) {
    AcDbEntity::remapIds(map);
    m_style = map.translate(m_style);
}

void AcDbText::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbEntity::collectReferences(hard);
    if (!m_style.isNull()) hard.append(m_style);
}

// ---- attribute definition and attribute ----

AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                                                 const ACHAR* prompt, AcDbObjectId style)
    : AcDbText(position, text, style), m_tag(tag ? tag : L""), m_prompt(prompt ? prompt : L"") {}

ACHAR* AcDbAttributeDefinition::tag() const { return hostdbDuplicateString(m_tag); }
ACHAR* AcDbAttributeDefinition::prompt() const { return hostdbDuplicateString(m_prompt); }
Acad::ErrorStatus AcDbAttributeDefinition::setTag(const ACHAR* tag) {
    return assign(*this, m_tag, std::wstring(tag ? tag : L""));
}
Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const ACHAR* prompt) {
    return assign(*this, m_prompt, std::wstring(prompt ? prompt : L""));
}
Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool v) {
    return assign(*this, m_flags, v ? m_flags | 1 : m_flags & ~1);
}
Acad::ErrorStatus AcDbAttributeDefinition::setFieldLength(Adesk::UInt16 n) { return assign(*this, m_fieldLength, n); }

AcRxObject* AcDbAttribute::clone() const { return new AcDbAttribute(*this); }

ACHAR* AcDbAttribute::tag() const { return hostdbDuplicateString(m_tag); }
Acad::ErrorStatus AcDbAttribute::setTag(const ACHAR* tag) { return assign(*this, m_tag, std::wstring(tag ? tag : L"")); }
Acad::ErrorStatus AcDbAttribute::setInvisible(bool v) { return assign(*this, m_flags, v ? m_flags | 1 : m_flags & ~1); }
Acad::ErrorStatus AcDbAttribute::setFieldLength(Adesk::UInt16 n) { return assign(*this, m_fieldLength, n); }

std::wstring AcDbText::displayText() const { return evaluatedFieldText(*this).value_or(m_text); }

Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool v) {
    return assign(*this, m_flags, v ? m_flags | 2 : m_flags & ~2);
}
Acad::ErrorStatus AcDbAttributeDefinition::setPreset(bool v) {
    return assign(*this, m_flags, v ? m_flags | 8 : m_flags & ~8);
}

// ---- the embedded MText of the multiline kinds ----

namespace {
template <class Attribute>
Acad::ErrorStatus setEmbedded(Attribute& owner, hostdb::EmbeddedMText& embedded, const AcDbMText* mtext) {
    if (!owner.isWriteEnabled()) return Acad::eNotOpenForWrite;
    embedded.set(mtext);
    return Acad::eOk;
}

// The text and its MText move together: a transform that either refuses leaves both as
// they were. transformText is the single-line text's own transform.
template <class TransformText>
Acad::ErrorStatus transformBoth(hostdb::EmbeddedMText& embedded, const AcGeMatrix3d& xform, TransformText transformText) {
    hostdb::EmbeddedMText moved = embedded;
    if (const auto es = moved.transformBy(xform); es != Acad::eOk) return es;
    if (const auto es = transformText(); es != Acad::eOk) return es;
    embedded = std::move(moved);
    return Acad::eOk;
}
}  // namespace

Acad::ErrorStatus AcDbAttributeDefinition::setMTextAttributeDefinition(const AcDbMText* mtext) {
    return setEmbedded(*this, m_mtext, mtext);
}

Acad::ErrorStatus AcDbAttributeDefinition::transformBy(const AcGeMatrix3d& xform) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    return transformBoth(m_mtext, xform, [&] { return AcDbText::transformBy(xform); });
}

Acad::ErrorStatus AcDbAttributeDefinition::getGeomExtents(AcDbExtents& extents) const {
    return m_mtext.has() ? m_mtext.get()->getGeomExtents(extents) : AcDbText::getGeomExtents(extents);
}

void AcDbAttributeDefinition::remapIds(const AcDbIdMapping& map) {
    AcDbText::remapIds(map);
    m_mtext.remapIds(map);
}

void AcDbAttributeDefinition::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbText::collectReferences(hard);
    m_mtext.collectReferences(hard);
}

Acad::ErrorStatus AcDbAttribute::setMTextAttribute(const AcDbMText* mtext) { return setEmbedded(*this, m_mtext, mtext); }

Acad::ErrorStatus AcDbAttribute::transformBy(const AcGeMatrix3d& xform) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    return transformBoth(m_mtext, xform, [&] { return AcDbText::transformBy(xform); });
}

Acad::ErrorStatus AcDbAttribute::getGeomExtents(AcDbExtents& extents) const {
    return m_mtext.has() ? m_mtext.get()->getGeomExtents(extents) : AcDbText::getGeomExtents(extents);
}

void AcDbAttribute::remapIds(const AcDbIdMapping& map) {
    AcDbText::remapIds(map);
    m_mtext.remapIds(map);
}

void AcDbAttribute::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbText::collectReferences(hard);
    m_mtext.collectReferences(hard);
}
