// The Block Manager's copy of each drawing's block list in the icon cache, trusted
// while the drawing file's modification time equals the stamp stored beside it.

#include "blocktab/blockmanagertabdlg.h"
#include "blocktab/filesearch.h"
#include "frame/commandline.h"
#include "frame/datapaths.h"
#include "storage/sqliteutils.h"

#include <iterator>

void CBlockManagerTabDlg::loadDrawingBlocks() {
    std::vector<BlockInfo> records;
    if (SQliteUtils::getIconCacheRecords(records, drawingPath) &&
        fileModifiedTime(drawingPath) == SQliteUtils::getIconCacheDateRecord(drawingPath)) {
        BlockInfoArray cached;
        for (BlockInfo& record : records) cached.append(std::move(record));
        fillBlockList(cached);
        return;
    }
    deleteDrawingCache(drawingPath);
    cacheDrawingBlocks();
}

void CBlockManagerTabDlg::cacheDrawingBlocks() {
    if (!isDrawingPath(drawingPath)) return;
    BlockWorker worker = makeWorker(drawingPath, nullptr);
    BlockInfoArray blocks;
    if (worker.getBlockInfoFromdDb(blocks) != Acad::eOk) return;
    fillBlockList(blocks);
    const std::vector<BlockInfo> records(std::make_move_iterator(blocks.begin()), std::make_move_iterator(blocks.end()));
    // A table that failed to fill gets no stamp, so the next selection reads the drawing again.
    if (!SQliteUtils::setIconCacheRecords(records, drawingPath)) return;
    SQliteUtils::setIconCacheDateRecord(fileModifiedTime(drawingPath), drawingPath);
    printToCommandLine(L"\nDone Caching %s", drawingPath.c_str());
}

void CBlockManagerTabDlg::deleteDrawingCache(const std::wstring& path) {
    std::wstring cachePath;
    getIconCachePath(cachePath);
    SQliteUtils::DeleteTable(cachePath.c_str(), path.c_str());
    SQliteUtils::deleteIconCacheDateRecord(path);
}

void CBlockManagerTabDlg::clearItem() {
    if (MessageBoxW(GetSafeHwnd(), L"This will clear the Icon cache for this drawing\n\t do you wish Continue?", L"Cache",
                    MB_YESNO) != IDYES)
        return;
    deleteDrawingCache(drawingPath);
    if (const int mark = m_historyList.GetSelectionMark(); mark >= 0) m_historyList.DeleteItem(mark);
    saveHistory();
    printToCommandLine(L"\nDone deleting Cache ");
}

void CBlockManagerTabDlg::clearAllItems() {
    if (MessageBoxW(GetSafeHwnd(), L"This will clear the Icon cache, do you wish Continue?", L"Cache", MB_YESNO) != IDYES)
        return;
    for (int i = 0; i < m_historyList.GetItemCount(); ++i) {
        const std::wstring entry = m_historyList.GetItemText(i, 0);
        if (!entry.empty()) deleteDrawingCache(entry);
    }
    m_historyList.DeleteAllItems();
    saveHistory();
    printToCommandLine(L"\nDone deleting Cache ");
}
