#include "mtext.h"

#include "field.h"
#include "idmapping.h"

#include "../ge/planeframe.h"

#include <algorithm>
#include <cmath>

ACRX_DEFINE_MEMBERS(AcDbMText, AcDbEntity, "MTEXT")

namespace {
template <class T>
Acad::ErrorStatus assign(AcDbObject& obj, T& field, const T& value) {
    if (!obj.isWriteEnabled()) return Acad::eNotOpenForWrite;
    field = value;
    return Acad::eOk;
}

// The plain lines of formatted contents: "\P" breaks lines; other codes are dropped.
std::vector<std::wstring> plainLines(const std::wstring& text) {
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\\' && i + 1 < text.size()) {
            const wchar_t code = text[i + 1];
            if (code == L'P') {
                lines.emplace_back();
                ++i;
            } else if (code == L'\\' || code == L'{' || code == L'}') {
                lines.back() += code;
                ++i;
            } else if (std::wstring(L"fFHhCcTtQqWwAaSp").find(code) != std::wstring::npos) {
                const auto semi = text.find(L';', i);
                i = semi == std::wstring::npos ? text.size() : semi;
            } else {
                ++i;  // a one-letter switch such as \L or \O
            }
        } else if (c != L'{' && c != L'}') {
            lines.back() += c;
        }
    }
    return lines;
}
}  // namespace

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& p) { return assign(*this, m_location, p); }
Acad::ErrorStatus AcDbMText::setNormal(const AcGeVector3d& n) { return assign(*this, m_normal, n.normal()); }
Acad::ErrorStatus AcDbMText::setDirection(const AcGeVector3d& d) { return assign(*this, m_direction, d.normal()); }
Acad::ErrorStatus AcDbMText::setTextHeight(double h) { return assign(*this, m_height, h); }
Acad::ErrorStatus AcDbMText::setWidth(double w) { return assign(*this, m_width, w); }
Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint a) { return assign(*this, m_attachment, a); }
Acad::ErrorStatus AcDbMText::setTextStyle(AcDbObjectId id) { return assign(*this, m_style, id); }
Acad::ErrorStatus AcDbMText::setContents(const ACHAR* text) {
    return assign(*this, m_contents, std::wstring(text ? text : L""));
}
ACHAR* AcDbMText::contents() const { return hostdbDuplicateString(m_contents); }

double AcDbMText::rotation() const {
    const double a = AcGePlaneFrame::fromNormal(m_normal).angleOf(m_direction);
    return a < 0 ? a + 2.0 * std::acos(-1.0) : a;
}

Acad::ErrorStatus AcDbMText::setRotation(double angle) {
    return assign(*this, m_direction, AcGePlaneFrame::fromNormal(m_normal).direction(angle));
}

std::wstring AcDbMText::displayText() const {
    return evaluatedFieldText(*this).value_or(m_contents);
}

Acad::ErrorStatus AcDbMText::transformBy(const AcGeMatrix3d& m) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const AcGeVector3d along = m * m_direction;
    const AcGeVector3d up = m * m_normal.crossProduct(m_direction);
    const AcGeVector3d n = along.crossProduct(up);
    if (n.isZeroLength()) return Acad::eNotApplicable;
    m_location = m * m_location;
    m_height *= up.length();
    m_width *= along.length();
    m_direction = along.normal();
    m_normal = n.normal();
    return Acad::eOk;
}

std::pair<double, double> AcDbMText::frameSize() const {
    const auto lines = plainLines(displayText());
    std::size_t longest = 0;
    for (const auto& l : lines) longest = std::max(longest, l.size());
    const double w = m_width > 0 ? m_width : static_cast<double>(longest) * m_height;
    const double h = static_cast<double>(lines.size()) * m_height * 5.0 / 3.0 * m_lineSpacingFactor;
    return {w, h};
}

AcGeVector3d AcDbMText::offsetFromTopLeft(AttachmentPoint a) const {
    const auto [w, h] = frameSize();
    const int col = (static_cast<int>(a) - 1) % 3, row = (static_cast<int>(a) - 1) / 3;
    const AcGeVector3d up = m_normal.crossProduct(m_direction).normal();
    return m_direction * (w * col / 2.0) - up * (h * row / 2.0);
}

Acad::ErrorStatus AcDbMText::setAttachmentMovingLocation(AttachmentPoint a) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (a < kTopLeft || a > kBottomRight) return Acad::eInvalidInput;
    const AcGePoint3d topLeft = m_location - offsetFromTopLeft(m_attachment);
    m_location = topLeft + offsetFromTopLeft(a);
    m_attachment = a;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::getGeomExtents(AcDbExtents& ext) const {
    const auto [w, h] = frameSize();
    const AcGePoint3d topLeft = m_location - offsetFromTopLeft(m_attachment);
    const AcGeVector3d up = m_normal.crossProduct(m_direction).normal();
    ext = AcDbExtents();
    for (double dx : {0.0, w})
        for (double dy : {0.0, -h}) ext.addPoint(topLeft + m_direction * dx + up * dy);
    return Acad::eOk;
}

void AcDbMText::remapIds(const AcDbIdMapping& map) {
    AcDbEntity::remapIds(map);
    m_style = map.translate(m_style);
}

void AcDbMText::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbEntity::collectReferences(hard);
    if (!m_style.isNull()) hard.append(m_style);
}
