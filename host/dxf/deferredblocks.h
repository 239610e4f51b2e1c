#pragma once

// Private to the drawing-file reader: block contents made when first looked into.

#include "readercontext.h"

#include "../db/database.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace hostdxf::reading {

// The entity records of the blocks of one file, made into objects when a block is first
// looked into. Holds the file's bytes until every block has been made.
//
// Making a block's entities may look up a handle or a block that lands in another
// deferred block (a leader's annotation, an extension dictionary). That block is read
// at once, but its references are set only after the outer one's, by the outermost
// load: so loads never nest more than one deep, however the blocks refer to each other.
class DeferredBlocks : public hostdb::DeferredContents {
public:
    DeferredBlocks(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes, Decoding decoding)
        : m_db(db), m_bytes(std::move(bytes)), m_decoding(std::move(decoding)) {}

    // The block's entity records are the bytes [start, end), from line firstLine; their
    // handles lie in [lowest, highest] (both 0 when they have none).
    void defer(AcDbObjectId blockId, std::size_t start, std::size_t end, std::size_t firstLine,
               std::uint64_t lowest, std::uint64_t highest);

    void load(AcDbObjectId blockId) override;
    AcDbObjectId blockHolding(AcDbHandle handle) const override;
    bool pending() const override { return !m_parts.empty(); }

private:
    struct Part {
        std::size_t start, end, firstLine;
        std::uint64_t lowest, highest;
    };

    AcDbDatabase& m_db;
    std::shared_ptr<const FileBytes> m_bytes;
    Decoding m_decoding;
    std::unordered_map<const hostdb::ObjectSlot*, Part> m_parts;
    std::vector<std::unique_ptr<ReaderContext>> m_unfinished;
    bool m_finishing = false;
};

// Checks the entity records of a block up to its ENDBLK as strictly as making them
// would, and leaves making them to the first look into the block.
bool scanBlockContents(ReaderContext& ctx, AcDbObjectId blockId, Record& endRecord);

}  // namespace hostdxf::reading
