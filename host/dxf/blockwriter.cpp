#include "entitywriters.h"

#include "../db/blocktable.h"
#include "../db/foreignentity.h"

namespace hostdxf::writing {
namespace {

const AcDbEntity* entityOf(AcDbObjectId id) {
    const AcDbObject* obj = id.isNull() ? nullptr : id.slot()->object;
    return obj ? AcDbEntity::cast(obj) : nullptr;
}

// 0 BLOCK or 0 ENDBLK and the entity groups of the record. A block made here has no
// object for it: a fresh one with the default properties stands in.
void writeBlockMarker(WriterContext& ctx, const AcDbEntity& ent, std::string_view type, AcDbObjectId markerId,
                      AcDbObjectId blockId, bool paper) {
    TagWriter& out = ctx.out();
    ctx.begin(ent, type, ctx.handleOrFresh(markerId), handleOf(blockId));
    out.text(100, "AcDbEntity");
    if (paper) out.integer(67, 1);
    out.text(8, ent.layerName().empty() ? L"0" : ent.layerName());
    ctx.chunk(ent, "AcDbEntity");
}

void writeBlockBegin(WriterContext& ctx, const AcDbBlockTableRecord& rec, bool paper) {
    TagWriter& out = ctx.out();
    const AcDbEntity* b = entityOf(rec.blockBeginId());
    AcDbBlockBegin fallback;
    const AcDbEntity& beginEnt = b ? *b : fallback;
    writeBlockMarker(ctx, beginEnt, "BLOCK", rec.blockBeginId(), rec.objectId(), paper);
    out.text(100, "AcDbBlockBegin");
    out.text(2, rec.name());
    out.integer(70, rec.flags() | (rec.hasAttributeDefinitions() ? AcDbBlockTableRecord::kHasAttributes : 0));
    out.point(10, rec.origin().x, rec.origin().y, rec.origin().z);
    out.text(3, rec.name());
    out.text(1, rec.pathName());
    if (!rec.comments().empty()) out.text(4, rec.comments());
    ctx.chunk(beginEnt, "AcDbBlockBegin");
    ctx.endRecord(beginEnt);
}

void writeBlockEnd(WriterContext& ctx, const AcDbBlockTableRecord& rec, bool paper) {
    const AcDbEntity* e = entityOf(rec.blockEndId());
    AcDbBlockEnd endFallback;
    const AcDbEntity& endEnt = e ? *e : endFallback;
    writeBlockMarker(ctx, endEnt, "ENDBLK", rec.blockEndId(), rec.objectId(), paper);
    ctx.out().text(100, "AcDbBlockEnd");
    ctx.chunk(endEnt, "AcDbBlockEnd");
    ctx.endRecord(endEnt);
}

void writeBlockEntities(WriterContext& ctx, const AcDbBlockTableRecord& rec, bool paper) {
    for (AcDbObjectId id : rec.entityIds())
        if (!id.isErased())
            if (const auto* e = AcDbEntity::cast(id.slot()->object)) writeEntity(ctx, *e, handleOf(rec.objectId()), paper);
}

}  // namespace

// The layouts' definitions are written empty: their entities go in the ENTITIES section.
void writeBlocks(WriterContext& ctx) {
    const AcDbDatabase& db = ctx.db();
    ctx.beginSection("BLOCKS");
    const auto* table = AcDbBlockTable::cast(db.blockTableId().slot()->object);
    const AcDbObjectId model = db.modelSpaceId(), paper = db.paperSpaceId();
    for (AcDbObjectId id : table->recordIds()) {
        if (id.isErased()) continue;
        const auto* rec = AcDbBlockTableRecord::cast(id.slot()->object);
        const bool isPaper = id == paper;
        writeBlockBegin(ctx, *rec, isPaper);
        if (id != model && !isPaper) writeBlockEntities(ctx, *rec, false);
        writeBlockEnd(ctx, *rec, isPaper);
    }
    ctx.endSection();
}

void writeEntities(WriterContext& ctx) {
    const AcDbDatabase& db = ctx.db();
    ctx.beginSection("ENTITIES");
    for (const AcDbObjectId space : {db.modelSpaceId(), db.paperSpaceId()}) {
        if (space.isNull()) continue;
        writeBlockEntities(ctx, *AcDbBlockTableRecord::cast(space.slot()->object), space != db.modelSpaceId());
    }
    ctx.endSection();
}

}  // namespace hostdxf::writing
