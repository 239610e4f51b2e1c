#include "entitydecoders.h"
#include "sectionreaders.h"

#include "../db/blockreference.h"
#include "../db/blocktable.h"
#include "../db/foreignentity.h"

#include <algorithm>

namespace hostdxf::reading {
namespace {

// Makes the entity of one record: the groups every entity has are taken here, the
// rest by the decoder of the record's kind. handle, owner, paper (in paper space) and
// blockName (the block a reference or dimension names) are what the caller places it by.
std::unique_ptr<AcDbEntity> makeEntity(ReaderContext& ctx, Record& rec, AcDbHandle& handle, AcDbHandle& owner,
                                       bool& paper, std::string& blockName) {
    const std::string& type = rec.type;
    std::string layer = "0", linetype;
    AcCmColor color;
    EntityGroups g;
    EntityDecoder d;
    if (!decodeCurve(type, g, d) && !decodeText(ctx, type, g, d) && !decodeReference(ctx, type, g, d))
        decodeOther(type, d);
    AcDbEntity* ent = d.entity.get();
    ent->setOpen(AcDb::kForWrite, 0);
    ctx.readCommon(*ent, rec, handle, owner, [&](const std::string& sub, const Tag& t) {
        if (sub.empty() || sub == "AcDbEntity") {
            switch (t.code) {
            case 8: layer = std::string(t.value); return true;
            case 6: linetype = std::string(t.value); return true;
            case 62: color.setColorIndex(static_cast<std::int16_t>(std::clamp(integer(t.value), -257LL, 257LL))); return true;
            case 420: color.setRGB(static_cast<std::uint32_t>(integer(t.value))); return true;
            case 370: ent->setLineWeight(static_cast<AcDb::LineWeight>(integer(t.value)), false); return true;
            case 48: ent->setLinetypeScale(real(t.value) > 0 ? real(t.value) : 1.0, false); return true;
            case 60: ent->setVisibility(integer(t.value) ? AcDb::kInvisible : AcDb::kVisible, false); return true;
            case 67: paper = integer(t.value) != 0; return true;
            default: break;
            }
        }
        return d.take ? d.take(sub, t) : false;
    });
    if (d.finish) d.finish();
    ent->setPropertyIds(ctx.layerId(layer),
                        linetype.empty() ? AcDbObjectId() : ctx.symbolId(ctx.db().linetypeTableId(), linetype));
    ent->setColor(color, false);
    blockName = std::move(g.blockName);
    ent->setOpen(AcDb::kForRead, 0);
    return std::move(d.entity);
}

// Recovering: a group that ends the section or the file, or (in a block) begins the
// next block, where endType was expected. It is given back, and the records read
// so far end there.
bool endsEarly(ReaderContext& ctx, const Tag& t, const char* endType) {
    if (!ctx.recovering() || !endType) return false;
    const bool inBlock = std::string_view(endType) == "ENDBLK";
    if (!inBlock) return ctx.sectionEndsEarly(t, "ENTITIES");
    if (t.value != "BLOCK" && t.value != "ENDSEC" && t.value != "SECTION" && t.value != "EOF") return false;
    ctx.tags().pushBack(t);
    return ctx.repair("a block has no ENDBLK", "it was ended before " + ctx.where());
}

}  // namespace

bool readEntities(ReaderContext& ctx) {
    ctx.db().ensureStandardObjects(false);  // an R12 file names no layout blocks
    return readEntityRecords(ctx, AcDbObjectId(), "ENDSEC", nullptr);
}

// Attributes and vertices are given to the record they follow.
bool readEntityRecords(ReaderContext& ctx, AcDbObjectId blockId, const char* endType, Record* endRecord) {
    AcDbDatabase& db = ctx.db();
    Tag t;
    AcDbBlockReference* lastInsert = nullptr;
    AcDbObjectId lastInsertId;
    AcDbForeignEntity* lastSequence = nullptr;
    Record rec;
    while (ctx.nextTag(t)) {
        if (t.code != 0) return ctx.fail(Acad::eBadDxfSequence, ctx.where() + ": an entity must begin with group 0");
        rec.type = std::string(t.value);
        rec.line = ctx.tags().line();
        ctx.tags().clearStorage();  // the previous record's decoded text is no longer needed
        if (endType && rec.type == endType) {
            if (endRecord) {
                endRecord->type = rec.type;
                endRecord->line = rec.line;
                if (!ctx.readRecord(*endRecord)) return false;
            }
            return true;
        }
        if (endsEarly(ctx, t, endType)) {
            if (endRecord) *endRecord = Record{endType, {}, 0};
            return true;
        }
        if (rec.type == "ENDSEC" || rec.type == "EOF" || rec.type == "BLOCK")
            return ctx.fail(Acad::eBadDxfSequence,
                            ctx.where() + ": " + rec.type + " where " + (endType ? endType : "ENDBLK") + " was expected");
        if (!ctx.readRecord(rec)) return false;
        if (lastSequence && (rec.type == "VERTEX" || rec.type == "SEQEND")) {
            hostdb::FilerItems items{{0, rec.type}};
            for (const auto& tag : rec.tags) {
                items.push_back({tag.code, std::string(tag.value)});
                if (tag.code == 5) db.reserveHandle(handleOf(tag.value));
            }
            lastSequence->followers().push_back(std::move(items));
            if (rec.type == "SEQEND") lastSequence = nullptr;
            continue;
        }
        AcDbHandle handle, owner;
        bool paper = false;
        std::string blockName;
        auto ent = makeEntity(ctx, rec, handle, owner, paper, blockName);
        if (!ctx.hasHandles()) handle = AcDbHandle();
        AcDbEntity* raw = ent.get();
        if (lastInsert && rec.type == "ATTRIB") {
            raw->setOwnerId(lastInsertId);
            lastInsert->appendAttributeId(ctx.add(std::move(ent), handle));
            continue;
        }
        if (lastInsert && rec.type == "SEQEND") {
            raw->setOwnerId(lastInsertId);
            lastInsert->setSequenceEndId(ctx.add(std::move(ent), handle));
            lastInsert = nullptr;
            continue;
        }
        lastInsert = nullptr;
        AcDbObjectId target = blockId;
        if (target.isNull()) target = paper ? db.paperSpaceId() : db.modelSpaceId();
        auto* block = target.isNull() ? nullptr : AcDbBlockTableRecord::cast(target.slot()->object);
        if (!block) return ctx.fail(Acad::eDwgCorrupt, ctx.where() + ": an entity has no block to belong to");
        raw->setOwnerId(target);
        const AcDbObjectId id = ctx.add(std::move(ent), handle);
        block->appendEntityId(id);
        if (!blockName.empty()) ctx.noteBlockName(id, blockName);
        if (!owner.isNull() && ctx.hasHandles()) ctx.checkOwner(id, owner);
        if (auto* ref = AcDbBlockReference::cast(raw)) {
            lastInsert = ref;
            lastInsertId = id;
        }
        if (auto* foreign = AcDbForeignEntity::cast(raw); foreign && rec.type == "POLYLINE") lastSequence = foreign;
    }
    if (ctx.partOfFile() && ctx.status() == Acad::eOk && ctx.tags().error().empty()) return true;
    return ctx.truncated(std::string("the file ends before ") + (endType ? endType : "ENDBLK"));
}


}  // namespace hostdxf::reading
