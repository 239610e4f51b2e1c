#include "storage/blocklibrarycache.h"

#include "frame/datapaths.h"
#include "frame/hostapi.h"
#include "storage/sqliteutils.h"

std::optional<std::vector<BlockInfo>> BlockLibraryCache::currentBlocks(const std::wstring& drawing) {
    std::vector<BlockInfo> records;
    if (SQliteUtils::getIconCacheRecords(records, drawing) &&
        fileModifiedTime(drawing) == SQliteUtils::getIconCacheDateRecord(drawing))
        return records;
    return std::nullopt;
}

bool BlockLibraryCache::store(const std::wstring& drawing, const std::vector<BlockInfo>& blocks) {
    if (!SQliteUtils::setIconCacheRecords(blocks, drawing)) return false;
    SQliteUtils::setIconCacheDateRecord(fileModifiedTime(drawing), drawing);
    return true;
}

void BlockLibraryCache::deleteDrawingCache(const std::wstring& drawing) {
    std::wstring cachePath;
    getIconCachePath(cachePath);
    SQliteUtils::DeleteTable(cachePath.c_str(), drawing.c_str());
    SQliteUtils::deleteIconCacheDateRecord(drawing);
}

std::int64_t fileModifiedTime(const std::wstring& path) {
    struct _stat64 status {};
    return _wstat64(path.c_str(), &status) == 0 ? static_cast<std::int64_t>(status.st_mtime) : 0;
}
