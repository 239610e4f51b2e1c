#include "commands/attributetext.h"
#include "commands/commands.h"
#include "commands/openobject.h"
#include "commands/selectionids.h"
#include "frame/hostapi.h"

#include <memory>
#include <vector>

namespace {

using Parts = std::vector<std::unique_ptr<AcDbEntity>>;

// Each attribute of the reference becomes a text in the space with the attribute's
// value, placement and look. Invisible attributes too: the text has no such flag.
void convertAttributes(const AcDbBlockReference& ref, AcDbBlockTableRecord& space) {
    const std::unique_ptr<AcDbObjectIterator> it(ref.attributeIterator());
    for (it->start(); !it->done(); it->step()) {
        OpenObject<AcDbAttribute> attribute;
        if (attribute.open(it->objectId(), AcDb::kForRead) != Acad::eOk) continue;
        std::unique_ptr<AcDbText> text = textShowing(*attribute);
        text->setColor(attribute->color(), true);
        const HostString layer(attribute->layer());
        text->setLayer(layer.get(), true, false);
        if (space.appendAcDbEntity(text.get()) != Acad::eOk) continue;
        AcDbText* resident = text.release();
        resident->setAlignmentPoint(attribute->alignmentPoint());
        resident->close();
    }
}

// Attributes and attribute definitions among the parts were shown by the attributes,
// which became texts; they are dropped.
bool isAttributePart(const AcDbEntity& part) {
    return part.isA() == AcDbAttribute::desc() || part.isA() == AcDbAttributeDefinition::desc();
}

void appendParts(Parts& parts, AcDbBlockTableRecord& space) {
    for (auto& part : parts) {
        if (isAttributePart(*part) || space.appendAcDbEntity(part.get()) != Acad::eOk) continue;
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
