#include "writercontext.h"

#include "../rx/utf8.h"

#include "../db/blocktable.h"
#include "../db/layertable.h"
#include "../db/textstyletable.h"

#include <vector>

namespace hostdxf::writing {
namespace {

void writeTableRecord(WriterContext& ctx, const AcDbSymbolTableRecord& rec, const char* type) {
    TagWriter& out = ctx.out();
    ctx.begin(rec, type, handleOf(rec.objectId()), handleOf(rec.ownerId()));
    out.text(100, "AcDbSymbolTableRecord");
    ctx.chunk(rec, "AcDbSymbolTableRecord");
    if (const auto* block = AcDbBlockTableRecord::cast(&rec)) {
        out.text(100, "AcDbBlockTableRecord");
        out.text(2, rec.name());
        if (!block->getLayoutId().isNull()) out.handle(340, handleOf(block->getLayoutId()));
        out.integer(70, block->blockInsertUnits());
        out.integer(280, block->explodable() ? 1 : 0);
        out.integer(281, block->blockScaling() ? 1 : 0);
        if (block->hasPreviewIcon()) out.binary(310, block->previewBytes());
        ctx.chunk(rec, "AcDbBlockTableRecord");
        ctx.endRecord(rec);
        return;
    }
    // The class name is the record's class marker: AcDbLayerTableRecord, AcDbTextStyleTableRecord, ...
    const std::string marker = hostrx::wideToUtf8(rec.isA()->name());
    out.text(100, marker);
    out.text(2, rec.name());
    out.integer(70, rec.flags());
    if (const auto* layer = AcDbLayerTableRecord::cast(&rec)) {
        const int c = layer->color().colorIndex();
        out.integer(62, layer->isOff() ? -c : c);
        if (layer->color().hasTrueColor()) out.integer(420, layer->color().rgb());
        const std::wstring lt = nameOf(layer->linetypeObjectId());
        out.text(6, lt.empty() ? L"Continuous" : lt);
        out.integer(290, layer->isPlottable() ? 1 : 0);
        out.integer(370, layer->lineWeight());
    } else if (const auto* style = AcDbTextStyleTableRecord::cast(&rec)) {
        out.real(40, style->textSize());
        out.real(41, style->xScale());
        out.real(50, style->obliquingAngle());
        out.integer(71, style->flagBits());
        out.real(42, style->priorSize());
        out.text(3, style->fileName());
        out.text(4, style->bigFontFileName());
    }
    ctx.chunk(rec, marker);
    ctx.endRecord(rec);
}

void writeTable(WriterContext& ctx, AcDbObjectId tableId, const char* name) {
    TagWriter& out = ctx.out();
    const auto* t = tableId.isNull() ? nullptr : AcDbSymbolTable::cast(tableId.slot()->object);
    if (!t) return;
    std::vector<const AcDbSymbolTableRecord*> records;
    for (AcDbObjectId id : t->recordIds())
        if (!id.isErased())
            if (const auto* r = AcDbSymbolTableRecord::cast(id.slot()->object)) records.push_back(r);
    ctx.begin(*t, "TABLE", handleOf(tableId), 0);
    // "0 TABLE" carries its name before the handle.
    out.data().insert(out.data().rfind("  0\nTABLE\n") + 10, std::string("  2\n") + name + "\n");
    out.text(100, "AcDbSymbolTable");
    out.integer(70, static_cast<long long>(records.size()));
    ctx.chunk(*t, "AcDbSymbolTable");
    ctx.endRecord(*t);
    for (const auto* r : records) writeTableRecord(ctx, *r, name);
    out.text(0, "ENDTAB");
}

}  // namespace

void writeTables(WriterContext& ctx) {
    TagWriter& out = ctx.out();
    const AcDbDatabase& db = ctx.db();
    ctx.beginSection("TABLES");
    writeTable(ctx, db.viewportTableId(), "VPORT");
    writeTable(ctx, db.linetypeTableId(), "LTYPE");
    writeTable(ctx, db.layerTableId(), "LAYER");
    writeTable(ctx, db.textStyleTableId(), "STYLE");
    writeTable(ctx, db.viewTableId(), "VIEW");
    writeTable(ctx, db.UCSTableId(), "UCS");
    writeTable(ctx, db.regAppTableId(), "APPID");
    writeTable(ctx, db.dimStyleTableId(), "DIMSTYLE");
    writeTable(ctx, db.blockTableId(), "BLOCK_RECORD");
    for (const auto& s : db.preservedSections())
        if (s.name.starts_with("TABLE:")) {
            out.text(0, "TABLE");
            out.items(s.items);
            out.text(0, "ENDTAB");
        }
    ctx.endSection();
}


}  // namespace hostdxf::writing
