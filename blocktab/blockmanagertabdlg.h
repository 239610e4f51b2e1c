#pragma once

#include "frame/hostapi.h"
#include "blocks/blockworker.h"
#include "storage/blockinfo.h"

#include <string>

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
    // Fills the block list from the records, one image each.
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
    void insertBlock(const std::wstring& blockName);
    template <class Operation>
    void runInsertion(const std::wstring& path, Operation operation);
    BlockWorker makeWorker(const std::wstring& path, AcDbDatabase* target) const;
    void clearItem();
    void clearAllItems();
    void showPreview();

    CStatic m_picture;
    CAcUiNumericEdit m_scaleEdit;
    CAcUiAngleEdit m_rotationEdit;
    CMFCEditBrowseCtrl m_pathEdit;
    CListCtrl m_blockList;
    CComboBoxEx m_layerCombo;
    CButton m_rotateCheck, m_explodeCheck, m_promptCheck;
    CListCtrl m_historyList;
    CImageList m_blockImages;
    CImageList m_layerImages;
    CMenu m_historyMenu;
    CToolTipCtrl m_tips;

    bool pathEditBusy = false;
    bool rotate = false;
    bool explode = false;
    bool prompt = false;
};

// Whether a path names a drawing: its last four characters are ".DWG" in any case.
bool isDrawingPath(const std::wstring& path);
