#pragma once

#include "storage/blockinfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The Block Manager's copy of each library drawing's block list (names and icons) in
// the icon store, keyed by the drawing's full path. A copy is trusted while the drawing
// file's modification time equals the stamp stored beside it: only equality counts, a
// file that became older is as stale as one that became newer. Store errors are printed
// by the icon store (SQliteUtils) and make a copy count as stale.
class BlockLibraryCache {
public:
    // The cached blocks, in the order they were stored, while the copy is current;
    // nothing when there is none or it is stale. Costs one file-status query and two
    // reads from the store; the drawing itself is not opened.
    static std::optional<std::vector<BlockInfo>> currentBlocks(const std::wstring& drawing);
    // Replaces the copy with these blocks and stamps it with the drawing's modification
    // time now, after it was read. A table that failed to fill gets no stamp, so the
    // next selection reads the drawing again; answers whether it was stored.
    static bool store(const std::wstring& drawing, const std::vector<BlockInfo>& blocks);
    // Drops the drawing's table and its stamp; nothing happens when there is none.
    static void deleteDrawingCache(const std::wstring& drawing);
};

// The last-write time of the file or folder in whole seconds since 1970-01-01 UTC; 0
// when its status cannot be read.
std::int64_t fileModifiedTime(const std::wstring& path);
