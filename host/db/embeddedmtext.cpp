#include "embeddedmtext.h"

#include "idmapping.h"

namespace hostdb {

EmbeddedMText::EmbeddedMText(const EmbeddedMText& other) { set(other.get()); }

EmbeddedMText& EmbeddedMText::operator=(const EmbeddedMText& other) {
    if (this != &other) set(other.get());
    return *this;
}

EmbeddedMText::~EmbeddedMText() = default;

void EmbeddedMText::set(const AcDbMText* mtext) {
    m_mtext.reset(mtext ? new AcDbMText(*mtext) : nullptr);
}

AcDbMText* EmbeddedMText::copy() const { return m_mtext ? new AcDbMText(*m_mtext) : nullptr; }

Acad::ErrorStatus EmbeddedMText::transformBy(const AcGeMatrix3d& xform) {
    return m_mtext ? m_mtext->transformBy(xform) : Acad::eOk;
}

// Only the style is a reference of the embedded text: layer and colour are its owner's.
void EmbeddedMText::remapIds(const AcDbIdMapping& map) {
    if (m_mtext) m_mtext->setTextStyle(map.translate(m_mtext->textStyle()));
}

void EmbeddedMText::collectReferences(AcDbObjectIdArray& hard) const {
    if (m_mtext && !m_mtext->textStyle().isNull()) hard.append(m_mtext->textStyle());
}

}  // namespace hostdb
