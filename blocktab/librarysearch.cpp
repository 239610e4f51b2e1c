// The Block Manager's search over every cached library: the blocks of every drawing of
// the history whose cache entry is current, found through the cache's name index in
// one query a keystroke. No drawing is opened on the way; a drawing that was never
// cached, or changed since, is left out until it is selected once.

#include "blocktab/blockmanagertabdlg.h"
#include "blocktab/icondecoder.h"
#include "frame/commandlineprinter.h"
#include "frame/moduleresources.h"
#include "storage/blocklibrarycache.h"
#include "storage/blocknameindex.h"
#include "storage/cppsqlite3exception.h"
#include "storage/sqliteutils.h"

#include <algorithm>

namespace {

void reportSearchError(const CppSQLite3Exception& error, const wchar_t* operation, long line) {
    printToCommandLine(L"\nError %s %s %ld\n", error.message(), operation, line);
}

std::wstring fileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The cache as the search sees it; a cache that cannot be read holds nothing current.
BlockNameIndex::CachedEntries cachedEntries() {
    try {
        return BlockNameIndex::cachedEntries();
    } catch (const CppSQLite3Exception& e) {
        reportSearchError(e, L"BlockNameIndex::cachedEntries", __LINE__);
        return {};
    }
}

// Current as the page trusts an entry (loadDrawingBlocks): the table exists and its
// stamp equals the file's time now.
bool isCurrent(const BlockNameIndex::CachedEntries& cache, const std::wstring& path) {
    return cache.isCurrent(SQliteUtils::cleanTableName(path), fileModifiedTime(path));
}

}  // namespace

std::vector<std::wstring> CBlockManagerTabDlg::historyDrawings() const {
    std::vector<std::wstring> drawings;
    for (int i = 0; i < m_historyList.GetItemCount(); ++i) {
        std::wstring entry = m_historyList.GetItemText(i, 0);
        if (isDrawingPath(entry) && std::find(drawings.begin(), drawings.end(), entry) == drawings.end())
            drawings.push_back(std::move(entry));
    }
    return drawings;
}

// Looked up when the search starts and when the selected drawing's blocks were read,
// not at every keystroke.
void CBlockManagerTabDlg::findSearchableDrawings() {
    m_searchTables.clear();
    std::vector<std::wstring> drawings = historyDrawings();
    if (isDrawingPath(drawingPath) && std::find(drawings.begin(), drawings.end(), drawingPath) == drawings.end())
        drawings.push_back(drawingPath);
    const BlockNameIndex::CachedEntries cache = cachedEntries();
    for (const std::wstring& path : drawings) {
        const std::wstring table = SQliteUtils::cleanTableName(path);
        const bool known = std::any_of(m_searchTables.begin(), m_searchTables.end(), [&](const auto& t) { return t.first == table; });
        if (!known && isCurrent(cache, path)) m_searchTables.emplace_back(table, path);
    }
}

void CBlockManagerTabDlg::onAllLibrariesClicked() {
    // The rows' item data change meaning with the mode: the selection is read first.
    const std::optional<BlockRow> selected = selectedBlockRow();
    m_searching = m_allLibrariesCheck.GetCheck() == 1;
    if (m_searching) {
        findSearchableDrawings();
        runSearch(selected);
        return;
    }
    m_hits.clear();
    m_blockList.SetRedraw(FALSE);
    m_blockList.SetImageList(&m_blockImages, LVSIL_NORMAL);
    m_blockList.SetRedraw(TRUE);
    showBlocks(selected);
}

void CBlockManagerTabDlg::runSearch(std::optional<BlockRow> selected) {
    std::vector<BlockNameIndex::Hit> found;
    try {
        // A pattern is matched here, over the whole folded name; plain text in the query.
        found = BlockNameIndex::find(m_filter.empty() || m_filter.isPattern() ? std::nullopt
                                                                              : std::optional<std::wstring>(m_filter.folded()));
    } catch (const CppSQLite3Exception& e) {
        reportSearchError(e, L"BlockNameIndex::find", __LINE__);
    }
    m_hits.clear();
    for (BlockNameIndex::Hit& hit : found) {
        const auto drawing = std::find_if(m_searchTables.begin(), m_searchTables.end(), [&](const auto& t) { return t.first == hit.table; });
        if (drawing == m_searchTables.end() || (m_filter.isPattern() && !m_filter.matchesFolded(hit.folded))) continue;
        std::wstring label = hit.name + L" (" + fileNameOf(drawing->second) + L")";
        m_hits.push_back({drawing->second, std::move(hit.table), hit.rowKey, std::move(hit.name), std::move(label)});
    }
    // Near the list's own order, so that each row it sorts in lands at or near its end.
    std::vector<std::pair<std::wstring, std::size_t>> order;
    order.reserve(m_hits.size());
    for (std::size_t i = 0; i < m_hits.size(); ++i) order.emplace_back(foldBlockName(m_hits[i].label), i);
    std::sort(order.begin(), order.end());

    m_blockList.SetRedraw(FALSE);
    m_blockList.DeleteAllItems();
    m_hitImages.DeleteImageList();
    m_hitImages.Create(32, 32, ILC_COLOR32 | ILC_MASK, 0, 0);
    for (const auto& [folded, i] : order) {
        LVITEM item;
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = m_blockList.GetItemCount();
        item.pszText = const_cast<wchar_t*>(m_hits[i].label.c_str());
        item.iImage = I_IMAGECALLBACK;
        item.lParam = static_cast<LPARAM>(i);
        m_blockList.InsertItem(&item);
    }
    m_blockList.SetImageList(&m_hitImages, LVSIL_NORMAL);
    m_blockList.SetRedraw(TRUE);
    if (selected) selectBlockRow(*selected);
}

// The icon of a found block, read from the cache and decoded when its row is first shown.
int CBlockManagerTabDlg::searchIcon(LPARAM hit) {
    if (hit < 0 || static_cast<std::size_t>(hit) >= m_hits.size()) return -1;
    const LibraryHit& found = m_hits[static_cast<std::size_t>(hit)];
    std::vector<std::uint8_t> bytes;
    try {
        bytes = BlockNameIndex::icon(found.table, found.rowKey);
    } catch (const CppSQLite3Exception& e) {
        reportSearchError(e, L"BlockNameIndex::icon", __LINE__);
    }
    const std::optional<IconPixels> pixels = decodePreviewIcon(bytes.data(), bytes.size());
    CBitmap bitmap;
    if (pixels && bitmap.CreateBitmap(kIconSide, kIconSide, 1, 32, pixels->data())) return m_hitImages.Add(&bitmap, RGB(255, 255, 255));
    ModuleResourceScope resources;
    return m_hitImages.Add(LoadIconW(nullptr, res::IDI_BLANK));
}

std::wstring CBlockManagerTabDlg::searchTip() {
    const BlockNameIndex::CachedEntries cache = cachedEntries();
    int missing = 0;
    for (const std::wstring& path : historyDrawings())
        if (!isCurrent(cache, path)) ++missing;
    if (missing == 0) return {};
    if (missing == 1) return L"1 library is not cached yet: select it once to include it";
    return std::to_wstring(missing) + L" libraries are not cached yet: select them once to include them";
}
