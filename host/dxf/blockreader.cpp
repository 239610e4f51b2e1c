#include "deferredblocks.h"
#include "sectionreaders.h"

#include "../db/blocktable.h"
#include "../db/foreignentity.h"

#include "../rx/textcase.h"
#include "../rx/utf8.h"

namespace hostdxf::reading {
namespace {

// R12 names the layout blocks "$MODEL_SPACE" and "$PAPER_SPACE"; later releases, and
// this host, "*Model_Space" and "*Paper_Space".
std::wstring layoutBlockName(const std::string& version, const std::wstring& name) {
    if (version > "AC1009" || name.size() != 12 || name[0] != L'$') return name;
    const std::wstring upper = hostrx::upperCased(name);
    if (upper == L"$MODEL_SPACE") return L"*Model_Space";
    if (upper == L"$PAPER_SPACE") return L"*Paper_Space";
    return name;
}

// A file without a block table gets the standard layout blocks before its BLOCKS
// section is read; a definition of one in the file takes the place of the made one.
bool replacesStandardLayout(AcDbBlockTableRecord& block) {
    AcDbObject* begin = block.blockBeginId().slot()->object;
    AcDbObject* end = block.blockEndId().isNull() ? nullptr : block.blockEndId().slot()->object;
    if (!block.isLayout() || !begin || !begin->isNewObject() || !block.entityIds().empty()) return false;
    begin->setErasedFlag(true);
    if (end) end->setErasedFlag(true);
    block.setBlockBeginEnd(AcDbObjectId(), AcDbObjectId());
    return true;
}

// The definition's record comes from the BLOCK_RECORD table, or (R12) is made here.
AcDbObjectId blockRecordFor(ReaderContext& ctx, const std::wstring& name) {
    AcDbDatabase& db = ctx.db();
    AcDbObjectId blockId = ctx.symbolId(db.blockTableId(), hostrx::wideToUtf8(name));
    if (blockId.isNull()) {
        auto* table = AcDbBlockTable::cast(db.blockTableId().slot()->object);
        auto rec2 = std::make_unique<AcDbBlockTableRecord>();
        rec2->setOpen(AcDb::kForWrite, 0);
        rec2->setName(name.c_str());
        rec2->setOwnerId(db.blockTableId());
        blockId = ctx.add(std::move(rec2), AcDbHandle());
        table->appendRecordId(blockId, name);
    }
    return blockId;
}

// The object of the ENDBLK record that closes the block; a record at line 0 is one the
// recovering read put where the file has none.
AcDbObjectId addBlockEnd(ReaderContext& ctx, AcDbObjectId blockId, const Record& endRec) {
    auto end = std::make_unique<AcDbBlockEnd>();
    end->setOpen(AcDb::kForWrite, 0);
    AcDbHandle endHandle, endOwner;
    std::string endLayer = "0";
    if (endRec.line != 0)
        ctx.readCommon(*end, endRec, endHandle, endOwner, [&](const std::string&, const Tag& tag) {
            if (tag.code == 8) endLayer = std::string(tag.value);
            return tag.code == 8 || tag.code == 67;
        });
    end->setPropertyIds(ctx.layerId(endLayer), AcDbObjectId());
    end->setOwnerId(blockId);
    return ctx.add(std::move(end), ctx.hasHandles() ? endHandle : AcDbHandle());
}

// One block definition: its BLOCK record (rec), its entity records and its ENDBLK.
bool readBlock(ReaderContext& ctx, const Record& rec) {
    auto begin = std::make_unique<AcDbBlockBegin>();
    begin->setOpen(AcDb::kForWrite, 0);
    AcDbHandle handle, owner;
    std::wstring name, path, description;
    long long flags = 0;
    PointAccumulator base;
    std::string layer = "0";
    ctx.readCommon(*begin, rec, handle, owner, [&](const std::string&, const Tag& tag) {
        switch (tag.code) {
        case 2: name = wide(tag.value); return true;
        case 3: return true;  // the name again
        case 1: path = wide(tag.value); return true;
        case 4: description = wide(tag.value); return true;
        case 70: flags = integer(tag.value); return true;
        case 8: layer = std::string(tag.value); return true;
        case 67: return true;
        default: return base.take(tag.code, 10, tag.value);
        }
    });
    if (name.empty()) return ctx.fail(Acad::eDwgCorrupt, "line " + std::to_string(rec.line) + ": a block has no name");
    name = layoutBlockName(ctx.version(), name);
    begin->setPropertyIds(ctx.layerId(layer), AcDbObjectId());
    const AcDbObjectId blockId = blockRecordFor(ctx, name);
    auto* block = AcDbBlockTableRecord::cast(blockId.slot()->object);
    if (!block->blockBeginId().isNull() && !replacesStandardLayout(*block))
        return ctx.fail(Acad::eDwgCorrupt, "line " + std::to_string(rec.line) + ": block \"" + hostrx::wideToUtf8(name) +
                                               "\" is defined twice");
    block->setFlags(static_cast<int>(flags) & ~AcDbBlockTableRecord::kHasAttributes);
    block->setOrigin(base.p);
    block->setPathName(path);
    block->setComments(description);
    begin->setOwnerId(blockId);
    const AcDbObjectId beginId = ctx.add(std::move(begin), ctx.hasHandles() ? handle : AcDbHandle());
    Record endRec{"ENDBLK", {}, 0};  // line 0 until the file's is read
    // Layout blocks are drawn at once; the others wait until they are looked into.
    const bool defer = ctx.deferred() && !block->isLayout();
    const bool read = defer ? scanBlockContents(ctx, blockId, endRec) : readEntityRecords(ctx, blockId, "ENDBLK", &endRec);
    // A file cut inside the block keeps what was read of it, closed.
    if (!read && !ctx.cutOff()) return false;
    block->setBlockBeginEnd(beginId, addBlockEnd(ctx, blockId, endRec));
    return read;
}

}  // namespace

bool readBlocks(ReaderContext& ctx) {
    return ctx.readSectionRecords("BLOCK", "BLOCKS", [&ctx](const Record& rec) { return readBlock(ctx, rec); });
}

}  // namespace hostdxf::reading
