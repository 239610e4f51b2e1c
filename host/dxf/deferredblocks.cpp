#include "deferredblocks.h"

#include "sectionreaders.h"

#include "../db/blocktable.h"

#include <algorithm>
#include <string>

namespace hostdxf::reading {

void DeferredBlocks::defer(AcDbObjectId blockId, std::size_t start, std::size_t end, std::size_t firstLine,
                           std::uint64_t lowest, std::uint64_t highest) {
    auto* block = AcDbBlockTableRecord::cast(blockId.slot()->object);
    if (!block) return;
    block->setContentsDeferred(true);
    m_parts[blockId.slot()] = Part{start, end, firstLine, lowest, highest};
}

void DeferredBlocks::load(AcDbObjectId blockId) {
    const auto part = m_parts.find(blockId.slot());
    if (part == m_parts.end()) return;
    const Part p = part->second;
    m_parts.erase(part);
    auto* block = AcDbBlockTableRecord::cast(blockId.slot()->object);
    if (!block || !block->contentsDeferred()) return;
    block->setContentsDeferred(false);
    auto reader = std::make_unique<ReaderContext>(m_db, m_decoding, m_bytes->view().substr(p.start, p.end - p.start),
                                                  p.firstLine);
    readEntityRecords(*reader, blockId, nullptr, nullptr);
    m_unfinished.push_back(std::move(reader));
    if (m_finishing) return;  // the outer load sets the references
    m_finishing = true;
    while (!m_unfinished.empty()) {
        const std::unique_ptr<ReaderContext> next = std::move(m_unfinished.back());
        m_unfinished.pop_back();
        next->finishReferences();
    }
    m_finishing = false;
}

// A block whose handles span this one; the caller loads it and looks again, so that
// a block that spans the handle without holding it costs a load, never a wrong
// answer. Handles of one block are usually a run of their own, so that is rare;
// keeping a range per block instead of an index of every handle saves memory that
// a large library would otherwise fill.
AcDbObjectId DeferredBlocks::blockHolding(AcDbHandle handle) const {
    const std::uint64_t h = handle.value();
    for (const auto& [slot, part] : m_parts)
        if (part.lowest <= h && h <= part.highest && part.highest != 0)
            return AcDbObjectId(const_cast<hostdb::ObjectSlot*>(slot));
    return AcDbObjectId();
}

// What opening needs now is noted on the way: the handles, so that no new object takes
// one and a lookup finds the block, and the blocks referenced, for the check of cycles.
bool scanBlockContents(ReaderContext& ctx, AcDbObjectId blockId, Record& endRecord) {
    TagReader& tags = ctx.tags();
    Tag t;
    std::size_t start = 0, firstLine = 0;
    bool any = false, inInsert = false, named = false, marked = false;
    std::uint64_t lowest = 0, highest = 0;
    std::vector<std::string> references;
    while (ctx.nextTag(t)) {
        if (t.code == 0) {
            if (t.value == "ENDBLK") {
                if (any) ctx.deferred()->defer(blockId, start, tags.offset(), firstLine, lowest, highest);
                ctx.noteDeferredReferences(blockId, std::move(references));
                endRecord.type = "ENDBLK";
                endRecord.line = tags.line();
                return ctx.readRecord(endRecord);
            }
            if (t.value == "ENDSEC" || t.value == "EOF" || t.value == "BLOCK")
                return ctx.fail(Acad::eBadDxfSequence,
                                ctx.where() + ": " + std::string(t.value) + " where ENDBLK was expected");
            if (!any) {
                any = true;
                start = tags.offset();
                firstLine = tags.line();
            }
            inInsert = t.value == "INSERT";
            named = marked = false;
            tags.clearStorage();
            continue;
        }
        if (t.code == 100) marked = true;
        // As readCommon takes them: the handle comes before the first class marker.
        if (t.code == 5 && !marked && ctx.hasHandles()) {
            const AcDbHandle h = handleOf(t.value);
            ctx.db().reserveHandle(h);
            if (!h.isNull()) {
                lowest = lowest == 0 ? h.value() : std::min(lowest, h.value());
                highest = std::max(highest, h.value());
            }
        }
        if (inInsert && t.code == 2 && !named) {
            references.emplace_back(t.value);
            named = true;
        }
    }
    return ctx.truncated("the file ends before ENDBLK");
}

}  // namespace hostdxf::reading
