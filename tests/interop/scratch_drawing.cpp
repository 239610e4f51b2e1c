// Writes a drawing made from scratch through the database's own calls, for the round
// trip through the peer (roundtrip_test.py knows its values): scratch_drawing OUT.

#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/dictionary.h"
#include "db/dimension.h"
#include "db/field.h"
#include "db/group.h"
#include "db/layertable.h"
#include "db/mtext.h"
#include "db/text.h"
#include "dxf/dxffiler.h"
#include "rx/utf8.h"

#include <cstdio>
#include <string>

namespace {

// Adds the entity to the block (open for write) and closes it.
AcDbObjectId append(AcDbBlockTableRecord& block, AcDbEntity* ent) {
    AcDbObjectId id;
    if (block.appendAcDbEntity(id, ent) == Acad::eOk) ent->close();
    else delete ent;
    return id;
}

AcDbObjectId addLayer(AcDbDatabase& db, const wchar_t* name, Adesk::UInt16 colour, bool locked) {
    AcDbLayerTable* layers = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(layers, db.layerTableId(), AcDb::kForWrite) != Acad::eOk) return id;
    auto* layer = new AcDbLayerTableRecord();
    layer->setName(name);
    layer->setColor(AcCmColor::fromIndex(static_cast<std::int16_t>(colour)));
    layer->setIsLocked(locked);
    if (layers->add(id, layer) == Acad::eOk) layer->close();
    else delete layer;
    layers->close();
    return id;
}

// A block with geometry and two attribute definitions.
AcDbObjectId addPartBlock(AcDbDatabase& db, AcDbObjectId layer) {
    AcDbBlockTable* blocks = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(blocks, db.blockTableId(), AcDb::kForWrite) != Acad::eOk) return id;
    auto* block = new AcDbBlockTableRecord();
    block->setName(L"PART");
    block->setBlockInsertUnits(AcDb::kUnitsMillimeters);
    if (blocks->add(id, block) != Acad::eOk) {
        delete block;
        blocks->close();
        return AcDbObjectId();
    }
    auto* line = new AcDbLine({0, 0, 0}, {10, 0, 0});
    line->setLayer(layer);
    append(*block, line);
    append(*block, new AcDbCircle({5, 5, 0}, AcGeVector3d::kZAxis, 2.5));
    append(*block, new AcDbArc({0, 0, 0}, 4.0, 0.0, 1.5));
    auto* outline = new AcDbPolyline();
    outline->addVertexAt(0, {0, 0});
    outline->addVertexAt(1, {10, 0}, 0.5);
    outline->addVertexAt(2, {10, 10});
    outline->setClosed(true);
    append(*block, outline);
    append(*block, new AcDbAttributeDefinition({0, -3, 0}, L"P-0", L"PARTNO", L"Part number", AcDbObjectId()));
    append(*block, new AcDbAttributeDefinition({0, -6, 0}, L"A", L"REV", L"Revision", AcDbObjectId()));
    block->close();
    blocks->close();
    return id;
}

void fillModelSpace(AcDbDatabase& db, AcDbObjectId part) {
    AcDbBlockTableRecord* model = nullptr;
    if (acdbOpenObject(model, db.modelSpaceId(), AcDb::kForWrite) != Acad::eOk) return;
    auto* ref = new AcDbBlockReference({100, 0, 0}, part);
    ref->setRotation(0.5);
    const AcDbObjectId refId = append(*model, ref);
    AcDbBlockReference* openRef = nullptr;
    if (acdbOpenObject(openRef, refId, AcDb::kForWrite) == Acad::eOk) {
        auto* attribute = new AcDbAttribute();
        attribute->setTag(L"PARTNO");
        attribute->setTextString(L"P-1001");
        attribute->setPosition({100, -3, 0});
        attribute->setHeight(2.5);
        if (openRef->appendAttribute(attribute) == Acad::eOk) attribute->close();
        else delete attribute;
        openRef->close();
    }
    const AcDbObjectId textId = append(*model, new AcDbText({0, 20, 0}, L"Größe °C", AcDbObjectId(), 3.5));
    auto* note = new AcDbMText();
    note->setLocation({0, 40, 0});
    note->setContents(L"Title");
    const AcDbObjectId noteId = append(*model, note);
    append(*model, new AcDbPoint({7, 7, 0}));
    auto* leader = new AcDbLeader();
    leader->appendVertex({50, 50, 0});
    leader->appendVertex({60, 60, 0});
    append(*model, leader);
    model->close();

    AcDbMText* open = nullptr;
    if (acdbOpenObject(open, noteId, AcDb::kForWrite) == Acad::eOk) {
        AcDbObjectId fieldId;
        auto* field = new AcDbField(L"%<\\AcVar CustomDP.Title>%");
        if (open->setField(L"TEXT", field, fieldId) != Acad::eOk) delete field;
        open->close();
    }

    AcDbDictionary* groups = nullptr;
    if (acdbOpenObject(groups, db.groupDictionaryId(), AcDb::kForWrite) == Acad::eOk) {
        auto* group = new AcDbGroup(L"Texts");
        AcDbObjectId groupId;
        if (groups->setAt(L"TEXTS", group, groupId) == Acad::eOk) {
            group->append(textId);
            group->append(noteId);
            group->close();
        } else {
            delete group;
        }
        groups->close();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: scratch_drawing OUT\n");
        return 2;
    }
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    AcDbDatabase db;
    db.setInsunits(AcDb::kUnitsMillimeters);
    db.setCustomProperties({{L"Title", L"Bridge"}, {L"Größe", L"中"}});
    const AcDbObjectId walls = addLayer(db, L"Walls", 3, true);
    fillModelSpace(db, addPartBlock(db, walls));
    if (db.saveAs(hostrx::utf8ToWide(argv[1]).c_str()) != Acad::eOk) {
        std::fprintf(stderr, "scratch_drawing: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
