#pragma once

#include "frame/hostapi.h"
#include "blocks/blockworker.h"
#include "blocktab/blocklistctrl.h"
#include "blocktab/namefilter.h"
#include "storage/blockinfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The Block Manager page of the palette (template 104): a history of library drawings,
// the chosen drawing's preview and the icons of its blocks, and insertion of the whole
// drawing or one block with the page's scale, rotation, layer and options. The history
// and each drawing's block list live in the icon cache; insertion is the block
// engine's. The page holds the state its controls show and wires them to that work.
class CBlockManagerTabDlg : public CAcUiDialog {
public:
    CBlockManagerTabDlg();

    // State, as the page shows it.
    double rotation = 0;  // radians
    double scale = 1.0;   // always above 0
    std::wstring drawingPath;
    std::wstring layerName;  // upper case; empty for the active layer

    // Empties and refills the layer chooser from the document's layers.
    void fillLayerCombo(AcApDocument* document);
    // Fills the block list from the records, one image each; of them, the list shows
    // those that pass the filter.
    void fillBlockList(const BlockInfoArray& records);
    void saveHistory();

    // The block list of drawingPath from the block library cache while it is current,
    // else read from the drawing and cached.
    void loadDrawingBlocks();
    void cacheDrawingBlocks();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* message) override;
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;

private:
    void bindControls();
    void initHistoryList();
    void initLayerImages();
    void commitScale();
    void commitRotation();
    void showScale(double value);
    void showRotation(double value);
    void onPathEditChange();
    void onHistoryItemChanged(const NMLISTVIEW& change);
    void onHistoryDoubleClick(int item);
    void onHistoryRightClick(const NMITEMACTIVATE& click);
    void openDrawing();
    void onLayerChosen();
    void insertDrawing(const std::wstring& path);
    void insertBlock(const std::wstring& path, const std::wstring& blockName);
    template <class Operation>
    void runInsertion(const std::wstring& path, Operation operation);
    BlockWorker makeWorker(const std::wstring& path, AcDbDatabase* target) const;
    void clearItem();
    void clearAllItems();
    void showPreview();

    // The block list as the filter narrows it. A row's item data is the index of its
    // block in blockNames, which is also its image's index.
    struct BlockRow {
        std::wstring path;
        std::wstring name;
        bool operator==(const BlockRow&) const = default;
    };
    std::optional<BlockRow> blockRow(int item) const;
    // Shows the selected drawing's filtered blocks, or the search's when it is on.
    void refreshBlockList();
    std::optional<BlockRow> selectedBlockRow() const;
    void selectBlockRow(const BlockRow& row);
    void clearBlockList();
    void onFilterChange();
    // Both keep the selection on the given row (the selected one) while it is listed.
    void showBlocks(std::optional<BlockRow> keep);
    void showBlocks() { showBlocks(selectedBlockRow()); }
    void insertMatchingBlocks();
    void insertFromBlockRow(int item);

    // The search over every cached library (librarysearch.cpp): with "All libraries"
    // ticked the block list shows the blocks of every drawing of the history (and the
    // selected one) whose cache entry is current, read from the cache's name index
    // alone, each named "NAME (FILE)", its icon read when its row is first shown. A
    // row's item data is then its index in m_hits.
    struct LibraryHit {
        std::wstring path;
        std::wstring table;
        std::int64_t rowKey = 0;
        std::wstring name;
        std::wstring label;
    };
    void onAllLibrariesClicked();
    void findSearchableDrawings();
    void runSearch(std::optional<BlockRow> keep);
    void runSearch() { runSearch(selectedBlockRow()); }
    void refreshSearch();
    int searchIcon(LPARAM hit);
    std::wstring searchTip();
    BOOL toolTipText(NMTTDISPINFO& info);
    std::vector<std::wstring> historyDrawings() const;

    CStatic m_picture;
    CAcUiNumericEdit m_scaleEdit;
    CAcUiAngleEdit m_rotationEdit;
    CMFCEditBrowseCtrl m_pathEdit;
    CBlockListCtrl m_blockList;
    CComboBoxEx m_layerCombo;
    CButton m_rotateCheck, m_explodeCheck, m_promptCheck;
    CListCtrl m_historyList;
    CEdit m_filterEdit;
    CButton m_allLibrariesCheck;
    CImageList m_blockImages;
    CImageList m_layerImages;
    CMenu m_historyMenu;
    CToolTipCtrl m_tips;

    BlockNameFilter m_filter;
    // The blocks of drawingPath from the last fill, by record position, and their
    // positions in the order the list sorted them into.
    std::vector<std::wstring> m_blockNames;
    std::vector<int> m_sortedBlocks;
    bool m_searching = false;
    // The icon table of each searchable drawing, and the drawing.
    std::vector<std::pair<std::wstring, std::wstring>> m_searchTables;
    std::vector<LibraryHit> m_hits;
    CImageList m_hitImages;
    std::wstring m_searchTipText;

    bool pathEditBusy = false;
    bool rotate = false;
    bool explode = false;
    bool prompt = false;
};

// Whether a path names a drawing: its last four characters are ".DWG" in any case.
bool isDrawingPath(const std::wstring& path);
