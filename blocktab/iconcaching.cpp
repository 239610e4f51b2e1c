// The page's side of the block library cache: which drawing to show from it, when to
// read a drawing again, and the history menu's two entries that clear it.

#include "blocktab/blockmanagertabdlg.h"
#include "frame/commandlineprinter.h"
#include "storage/blocklibrarycache.h"

#include <iterator>

void CBlockManagerTabDlg::loadDrawingBlocks() {
    if (std::optional<std::vector<BlockInfo>> records = BlockLibraryCache::currentBlocks(drawingPath)) {
        BlockInfoArray cached;
        for (BlockInfo& record : *records) cached.append(std::move(record));
        fillBlockList(cached);
        return;
    }
    BlockLibraryCache::deleteDrawingCache(drawingPath);
    cacheDrawingBlocks();
}

void CBlockManagerTabDlg::cacheDrawingBlocks() {
    if (!isDrawingPath(drawingPath)) return;
    BlockWorker worker = makeWorker(drawingPath, nullptr);
    BlockInfoArray blocks;
    if (worker.getBlockInfoFromdDb(blocks) != Acad::eOk) return;
    fillBlockList(blocks);
    const std::vector<BlockInfo> records(std::make_move_iterator(blocks.begin()), std::make_move_iterator(blocks.end()));
    if (!BlockLibraryCache::store(drawingPath, records)) return;
    printToCommandLine(L"\nDone Caching %s", drawingPath.c_str());
}

void CBlockManagerTabDlg::clearItem() {
    if (MessageBoxW(GetSafeHwnd(), L"This will clear the Icon cache for this drawing\n\t do you wish Continue?", L"Cache",
                    MB_YESNO) != IDYES)
        return;
    BlockLibraryCache::deleteDrawingCache(drawingPath);
    if (const int mark = m_historyList.GetSelectionMark(); mark >= 0) m_historyList.DeleteItem(mark);
    saveHistory();
    printToCommandLine(L"\nDone deleting Cache ");
    refreshSearch();
}

void CBlockManagerTabDlg::clearAllItems() {
    if (MessageBoxW(GetSafeHwnd(), L"This will clear the Icon cache, do you wish Continue?", L"Cache", MB_YESNO) != IDYES)
        return;
    for (int i = 0; i < m_historyList.GetItemCount(); ++i) {
        const std::wstring entry = m_historyList.GetItemText(i, 0);
        if (!entry.empty()) BlockLibraryCache::deleteDrawingCache(entry);
    }
    m_historyList.DeleteAllItems();
    saveHistory();
    printToCommandLine(L"\nDone deleting Cache ");
    refreshSearch();
}

// A search on shows no block whose cache entry was just cleared.
void CBlockManagerTabDlg::refreshSearch() {
    if (!m_searching) return;
    findSearchableDrawings();
    runSearch();
}
