#include "sectionreaders.h"

#include "../db/blocktable.h"
#include "../db/dimstyletable.h"
#include "../db/layertable.h"
#include "../db/textstyletable.h"
#include "../rx/utf8.h"

#include <array>
#include <map>

namespace hostdxf::reading {
namespace {

template <class Table>
std::unique_ptr<AcDbSymbolTable> newTable() {
    return std::make_unique<Table>();
}

// The objects that make up a table of one name.
struct TableKind {
    std::function<std::unique_ptr<AcDbSymbolTable>()> table;
    std::function<std::unique_ptr<AcDbSymbolTableRecord>()> record;
};

const TableKind* tableKind(const std::string& name) {
    static const std::map<std::string, TableKind> kinds = {
        {"BLOCK_RECORD", {newTable<AcDbBlockTable>, [] { return std::make_unique<AcDbBlockTableRecord>(); }}},
        {"LAYER", {newTable<AcDbLayerTable>, [] { return std::make_unique<AcDbLayerTableRecord>(); }}},
        {"STYLE", {newTable<AcDbTextStyleTable>, [] { return std::make_unique<AcDbTextStyleTableRecord>(); }}},
        {"DIMSTYLE", {newTable<AcDbDimStyleTable>, [] { return std::make_unique<AcDbDimStyleTableRecord>(); }}},
        {"LTYPE", {newTable<AcDbLinetypeTable>, [] { return std::make_unique<AcDbLinetypeTableRecord>(); }}},
        {"VPORT", {newTable<AcDbViewportTable>, [] { return std::make_unique<AcDbViewportTableRecord>(); }}},
        {"VIEW", {newTable<AcDbViewTable>, [] { return std::make_unique<AcDbViewTableRecord>(); }}},
        {"UCS", {newTable<AcDbUCSTable>, [] { return std::make_unique<AcDbUCSTableRecord>(); }}},
        {"APPID", {newTable<AcDbRegAppTable>, [] { return std::make_unique<AcDbRegAppTableRecord>(); }}},
    };
    const auto kind = kinds.find(name);
    return kind == kinds.end() ? nullptr : &kind->second;
}

// Recovering: a group that begins another table, or ends or leaves the section, inside
// table `name`: its ENDTAB is missing. The group is given back.
bool tableEndsEarly(ReaderContext& ctx, const Tag& t, const std::string& name) {
    if (!ctx.recovering() || t.code != 0 ||
        (t.value != "TABLE" && t.value != "ENDSEC" && t.value != "SECTION" && t.value != "EOF"))
        return false;
    ctx.tags().pushBack(t);
    ctx.repair("table " + name + " has no ENDTAB", "it was ended before " + ctx.where());
    return true;
}

// A table this host does not know is kept whole.
bool keepUnknownTable(ReaderContext& ctx, const Record& head, const std::string& name) {
    hostdb::PreservedSection keep{"TABLE:" + name, {}};
    for (const auto& t : head.tags) keep.items.push_back({t.code, std::string(t.value)});
    Tag t;
    bool ended = false;
    while (!ended && ctx.nextTag(t)) {
        ended = (t.code == 0 && t.value == "ENDTAB") || tableEndsEarly(ctx, t, name);
        if (!ended) keep.items.push_back({t.code, std::string(t.value)});
    }
    // What a file cut inside the table holds of it is kept as well.
    if (ended || ctx.cutOff()) ctx.db().preservedSections().push_back(std::move(keep));
    return ended || ctx.truncated("the file ends inside table " + name);
}

// Makes the table of the "0 TABLE" record and gives it to the database; null when the
// file has a table of that name already.
AcDbSymbolTable* addTable(ReaderContext& ctx, const TableKind& kind, const Record& head, const std::string& name,
                          AcDbObjectId& tableId) {
    AcDbDatabase& db = ctx.db();
    auto table = kind.table();
    AcDbHandle handle, owner;
    ctx.readCommon(*table, head, handle, owner, [](const std::string&, const Tag& t) { return t.code == 2 || t.code == 70; });
    AcDbSymbolTable* tablePtr = table.get();
    tableId = ctx.add(std::move(table), handle);
    auto ids = std::array<AcDbObjectId, 9>{db.blockTableId(),    db.layerTableId(),    db.textStyleTableId(),
                                           db.dimStyleTableId(), db.linetypeTableId(), db.viewportTableId(),
                                           db.viewTableId(),     db.UCSTableId(),      db.regAppTableId()};
    static const char* order[] = {"BLOCK_RECORD", "LAYER", "STYLE", "DIMSTYLE", "LTYPE", "VPORT", "VIEW", "UCS", "APPID"};
    for (std::size_t i = 0; i < 9; ++i)
        if (name == order[i]) {
            if (!ids[i].isNull()) {
                ctx.fail(Acad::eDwgCorrupt, ctx.where() + ": table " + name + " appears twice");
                return nullptr;
            }
            ids[i] = tableId;
        }
    db.setTableIds(ids[0], ids[1], ids[2], ids[3], ids[4], ids[5], ids[6], ids[7], ids[8]);
    return tablePtr;
}

// Makes one record of the table `name` and appends it to the table.
bool readTableRecord(ReaderContext& ctx, const TableKind& kind, const std::string& name, AcDbObjectId tableId,
                     AcDbSymbolTable& table, const Record& rec) {
    auto record = kind.record();
    AcDbSymbolTableRecord* r = record.get();
    AcDbHandle h, o;
    std::wstring recName;
    int flags = 0;
    auto* layer = AcDbLayerTableRecord::cast(r);
    auto* style = AcDbTextStyleTableRecord::cast(r);
    auto* dim = AcDbDimStyleTableRecord::cast(r);
    auto* block = AcDbBlockTableRecord::cast(r);
    std::vector<std::uint8_t> preview;
    if (block) {
        // One allocation for the icon, which comes in many groups (2 KB is usual).
        std::size_t hexDigits = 0;
        for (const auto& tag : rec.tags)
            if (tag.code == 310) hexDigits += tag.value.size();
        preview.reserve(hexDigits / 2);
    }
    std::string layerLinetype;
    ctx.readCommon(*r, rec, h, o, [&](const std::string& sub, const Tag& tag) {
        if (tag.code == 2) {
            if (recName.empty()) {
                recName = wide(tag.value);
                return true;
            }
            // Kept, a second name would be written back, and the next read would take
            // whichever came first: the record could turn into a standard one it is not.
            ctx.repair("line " + std::to_string(rec.line) + ": a " + name + " record is named twice",
                       "the second name \"" + std::string(tag.value) + "\" was dropped");
            return true;
        }
        if (tag.code == 70 && (sub.empty() || sub == "AcDbSymbolTableRecord" || sub == "AcDbLayerTableRecord" ||
                               sub == "AcDbTextStyleTableRecord" || sub == "AcDbDimStyleTableRecord" || sub == "AcDbLinetypeTableRecord" ||
                               sub == "AcDbRegAppTableRecord" || sub == "AcDbViewportTableRecord" ||
                               sub == "AcDbViewTableRecord" || sub == "AcDbUCSTableRecord") &&
            !block) {
            flags = static_cast<int>(integer(tag.value));
            return true;
        }
        if (layer) {
            if (tag.code == 62) {
                const long long c = integer(tag.value);
                layer->setColor(AcCmColor::fromIndex(static_cast<std::int16_t>(c < 0 ? -c : c)));
                layer->setIsOff(c < 0);
                return true;
            }
            if (tag.code == 420) {
                AcCmColor c = layer->color();
                c.setRGB(static_cast<std::uint32_t>(integer(tag.value)));
                layer->setColor(c);
                return true;
            }
            if (tag.code == 6) {
                layerLinetype = std::string(tag.value);
                return true;
            }
            if (tag.code == 370) {
                layer->setLineWeight(static_cast<AcDb::LineWeight>(integer(tag.value)));
                return true;
            }
            if (tag.code == 290) {
                layer->setIsPlottable(integer(tag.value) != 0);
                return true;
            }
        }
        if (style) {
            switch (tag.code) {
            case 40: style->setTextSize(real(tag.value)); return true;
            case 41: style->setXScale(real(tag.value)); return true;
            case 50: style->setObliquingAngle(real(tag.value)); return true;
            case 71: style->setFlagBits(static_cast<int>(integer(tag.value))); return true;
            case 42: style->setPriorSize(real(tag.value)); return true;
            case 3: style->setFileName(wide(tag.value)); return true;
            case 4: style->setBigFontFileName(wide(tag.value)); return true;
            default: break;
            }
        }
        if (dim && sub != "") {
            // Kept in place as well, so that the record is written back unchanged.
            if (tag.code == 40) dim->setDimscale(real(tag.value));
            if (tag.code == 140) dim->setDimtxt(real(tag.value));
        }
        if (block) {
            if (tag.code == 70 && sub == "AcDbBlockTableRecord") {
                const long long u = integer(tag.value);
                block->setBlockInsertUnits(u >= 0 && u <= 20 ? static_cast<AcDb::UnitsValue>(u) : AcDb::kUnitsUndefined);
                return true;
            }
            if (tag.code == 280) {
                block->setExplodable(integer(tag.value) != 0);
                return true;
            }
            if (tag.code == 281) {
                block->setBlockScaling(integer(tag.value) != 0);
                return true;
            }
            if (tag.code == 310) {
                if (!appendHexBytes(tag.value, preview))
                    ctx.repair("the preview icon of block \"" + hostrx::wideToUtf8(recName) +
                                   "\" holds characters that are not hexadecimal",
                               "it was kept up to them");
                return true;
            }
            if (tag.code == 340) {
                const AcDbHandle lh = handleOf(tag.value);
                AcDbBlockTableRecord* self = block;
                ctx.addFixup([&ctx, self, lh] { self->setLayoutId(ctx.db().idFromHandle(lh)); });
                return true;
            }
        }
        return false;
    });
    if (recName.empty()) return ctx.fail(Acad::eDwgCorrupt, "line " + std::to_string(rec.line) + ": a " + name +
                                                             " record has no name");
    r->setOpen(AcDb::kForWrite, 0);
    r->setName(recName.c_str());
    if (!block) r->setFlags(flags);
    if (block) block->setPreviewBytes(std::move(preview));
    r->setOwnerId(tableId);
    if (table.has(recName.c_str())) {
        const std::wstring twice = recName;
        recName += L"$" + std::to_wstring(table.recordIds().size());
        ctx.repair("table " + name + " names \"" + hostrx::wideToUtf8(twice) + "\" twice",
                   "the second record was renamed \"" + hostrx::wideToUtf8(recName) + "\"");
        r->setName(recName.c_str());
    }
    const AcDbObjectId id = ctx.add(std::move(record), h);
    table.appendRecordId(id, recName);
    if (layer) {
        AcDbLayerTableRecord* self = layer;
        ctx.addFixup([&ctx, self, layerLinetype] {
            self->setLinetypeObjectId(
                ctx.symbolId(ctx.db().linetypeTableId(), layerLinetype.empty() ? "Continuous" : layerLinetype));
        });
        ctx.noteLayer(hostrx::wideToUtf8(recName), id);
    }
    return true;
}

// The count a table's head gives (group 70), where it gives one, is its number of
// records; the writer counts them again.
bool checkCount(ReaderContext& ctx, const Record& head, const std::string& name, std::size_t records) {
    for (const auto& t : head.tags) {
        if (t.code != 70) continue;
        if (integer(t.value) == static_cast<long long>(records)) return true;
        return ctx.repair("line " + std::to_string(head.line) + ": table " + name + " counts " +
                              std::string(t.value) + " records but holds " + std::to_string(records),
                          "the count was corrected");
    }
    return true;
}

bool readTable(ReaderContext& ctx, const Record& head) {
    std::string name;
    for (const auto& t : head.tags)
        if (t.code == 2) {
            name = std::string(t.value);
            break;
        }
    const TableKind* kind = tableKind(name);
    if (!kind) return keepUnknownTable(ctx, head, name);
    AcDbObjectId tableId;
    AcDbSymbolTable* table = addTable(ctx, *kind, head, name, tableId);
    if (!table) return false;
    Tag t;
    std::size_t records = 0;
    while (ctx.nextTag(t)) {
        if (t.code != 0) return ctx.fail(Acad::eBadDxfSequence, ctx.where() + ": a table record must begin with group 0");
        if (t.value == "ENDTAB" || tableEndsEarly(ctx, t, name)) return checkCount(ctx, head, name, records);
        Record rec{std::string(t.value), {}, ctx.tags().line()};
        if (!ctx.readRecord(rec)) return false;
        if (!readTableRecord(ctx, *kind, name, tableId, *table, rec)) return false;
        ++records;
    }
    return ctx.truncated("the file ends inside table " + name);
}

}  // namespace

bool readTables(ReaderContext& ctx) {
    return ctx.readSectionRecords("TABLE", "TABLES", [&ctx](const Record& head) { return readTable(ctx, head); });
}

}  // namespace hostdxf::reading
