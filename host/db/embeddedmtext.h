#pragma once

#include "mtext.h"

#include <memory>

class AcDbIdMapping;

namespace hostdb {

// The MText that a multiline attribute or attribute definition carries inside its own
// record: all its lines, their frame and look. A value of its owner: copied with it (so
// a clone, an explode part or an undo state holds its own), moved and turned with it.
// The MText lies outside any database; its style is one of the owner's drawing.
class EmbeddedMText {
public:
    EmbeddedMText() = default;
    EmbeddedMText(const EmbeddedMText& other);
    EmbeddedMText& operator=(const EmbeddedMText& other);
    EmbeddedMText(EmbeddedMText&&) noexcept = default;
    EmbeddedMText& operator=(EmbeddedMText&&) noexcept = default;
    ~EmbeddedMText();

    bool has() const { return m_mtext != nullptr; }
    const AcDbMText* get() const { return m_mtext.get(); }
    AcDbMText* get() { return m_mtext.get(); }
    // Keeps a copy of mtext; null makes the owner single-line again.
    void set(const AcDbMText* mtext);
    // A copy for the caller to own; null when there is none.
    AcDbMText* copy() const;

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);
    void remapIds(const AcDbIdMapping& map);
    void collectReferences(AcDbObjectIdArray& hard) const;

private:
    std::unique_ptr<AcDbMText> m_mtext;
};

}  // namespace hostdb
