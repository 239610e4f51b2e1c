#include "commands/attributetext.h"
#include "commands/commands.h"
#include "commands/openobject.h"
#include "commands/selectionids.h"
#include "frame/hostapi.h"

#include <memory>
#include <vector>

namespace {

using Parts = std::vector<std::unique_ptr<AcDbEntity>>;

// What an attribute, or a constant definition among the parts, showed stays in the
// space: every line of a multiline one as an MText, else a single-line text whose
// alignment point is set once it is in the drawing.
void appendShown(const AcDbText& attribute, AcDbBlockTableRecord& space) {
    std::unique_ptr<AcDbEntity> shown = mtextShowing(attribute);
    if (!shown) shown = textShowing(attribute);
    shown->setColor(attribute.color(), true);
    const HostString layer(attribute.layer());
    shown->setLayer(layer.get(), true, false);
    if (space.appendAcDbEntity(shown.get()) != Acad::eOk) return;
    AcDbEntity* resident = shown.release();
    if (auto* text = AcDbText::cast(resident)) text->setAlignmentPoint(attribute.alignmentPoint());
    resident->close();
}

// Each attribute of the reference becomes a text in the space with the attribute's
// value, placement and look. Invisible attributes too: the text has no such flag.
void convertAttributes(const AcDbBlockReference& ref, AcDbBlockTableRecord& space) {
    const std::unique_ptr<AcDbObjectIterator> it(ref.attributeIterator());
    for (it->start(); !it->done(); it->step()) {
        OpenObject<AcDbAttribute> attribute;
        if (attribute.open(it->objectId(), AcDb::kForRead) != Acad::eOk) continue;
        appendShown(*attribute, space);
    }
}

// Attributes and attribute definitions among the parts are not carried over: the
// reference's attributes show the values. A constant definition has no attribute and
// shows its own text, which stays as a text like an attribute's.
void appendParts(Parts& parts, AcDbBlockTableRecord& space) {
    for (auto& part : parts) {
        if (part->isA() == AcDbAttributeDefinition::desc()) {
            const auto& def = static_cast<const AcDbAttributeDefinition&>(*part);
            if (def.isConstant()) appendShown(def, space);
            continue;
        }
        if (part->isA() == AcDbAttribute::desc() || space.appendAcDbEntity(part.get()) != Acad::eOk) continue;
        part.release()->close();
    }
}

// Bursts one reference one level deep. It is exploded before anything else: a reference
// that cannot be exploded stays whole, with its attributes, and no texts are made for it.
void burstReference(AcDbObjectId id, AcDbBlockTableRecord& space) {
    OpenObject<AcDbBlockReference> ref;
    if (ref.open(id, AcDb::kForWrite) != Acad::eOk) return;
    AcDbVoidPtrArray exploded(0, 8);
    const Acad::ErrorStatus es = ref->explode(exploded);
    Parts parts;
    for (void* part : exploded) parts.emplace_back(static_cast<AcDbEntity*>(part));
    if (es != Acad::eOk) return;
    convertAttributes(*ref, space);
    appendParts(parts, space);
    ref->erase();
}

}  // namespace

void zelBurst() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    SelectionResources resources(acutBuildList(RTDXF0, L"INSERT", 0));
    if (!db || !resources.select()) return;
    const AcDbObjectIdArray ids = selectedIds(resources.set());
    OpenObject<AcDbBlockTableRecord> space;
    if (space.open(db->currentSpaceId(), AcDb::kForWrite) != Acad::eOk) return;
    for (const AcDbObjectId& id : ids) burstReference(id, *space);
    space.close();
    acutPrintf(L"\nDone!");
}
