#include "blocktab/blockmanagertabdlg.h"

#include "blocktab/filesearch.h"
#include "blocktab/icondecoder.h"
#include "blocktab/layerlist.h"
#include "frame/commandlineprinter.h"
#include "frame/documentlock.h"
#include "frame/dragtodrawing.h"
#include "frame/moduleresources.h"
#include "storage/sqliteutils.h"

#include <array>

namespace {

constexpr std::size_t kNumberBuffer = 34;
// The picture's background behind a drawing's preview.
constexpr Adesk::UInt32 kPreviewBackground = 0x00010101;
constexpr int kActiveLayerImage = 7;

// One row of the block list: its label, its image and, as item data, its block's index.
void insertBlockItem(CListCtrl& list, int index, const std::wstring& label) {
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = list.GetItemCount();
    item.pszText = const_cast<wchar_t*>(label.c_str());
    item.iImage = index;
    item.lParam = index;
    list.InsertItem(&item);
}

}  // namespace

bool isDrawingPath(const std::wstring& path) {
    if (path.size() < 4) return false;
    std::wstring tail = path.substr(path.size() - 4);
    CharUpperW(tail.data());
    return tail == L".DWG";
}

CBlockManagerTabDlg::CBlockManagerTabDlg() : CAcUiDialog(res::IDD_BLOCK_MANAGER) {}

LRESULT CBlockManagerTabDlg::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }

// --- initialisation ---

void CBlockManagerTabDlg::bindControls() {
    m_picture.SubclassDlgItem(res::IDC_BM_PICTURE, this);
    m_scaleEdit.SubclassDlgItem(res::IDC_BM_SCALE, this);
    m_rotationEdit.SubclassDlgItem(res::IDC_BM_ROTATION, this);
    m_pathEdit.SubclassDlgItem(res::IDC_BM_PATH, this);
    m_blockList.SubclassDlgItem(res::IDC_BM_BLOCKS, this);
    m_layerCombo.SubclassDlgItem(res::IDC_BM_LAYERS, this);
    m_rotateCheck.SubclassDlgItem(res::IDC_BM_ROTATE, this);
    m_explodeCheck.SubclassDlgItem(res::IDC_BM_EXPLODE, this);
    m_promptCheck.SubclassDlgItem(res::IDC_BM_PROMPT, this);
    m_historyList.SubclassDlgItem(res::IDC_BM_HISTORY, this);
    m_filterEdit.SubclassDlgItem(res::IDC_BM_FILTER, this);
    m_allLibrariesCheck.SubclassDlgItem(res::IDC_BM_ALL_LIBRARIES, this);
}

BOOL CBlockManagerTabDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    bindControls();
    initHistoryList();
    for (const std::wstring& entry : SQliteUtils::getHistory())
        m_historyList.InsertItem(m_historyList.GetItemCount(), entry.c_str());
    showScale(scale);
    showRotation(rotation);
    m_historyMenu.CreatePopupMenu();
    m_historyMenu.AppendMenu(MF_STRING, res::ID_BM_OPEN, L"Open");
    m_historyMenu.AppendMenu(MF_STRING, res::ID_BM_CLEAR_ITEM, L"Clear Item");
    m_historyMenu.AppendMenu(MF_STRING, res::ID_BM_CLEAR_ALL, L"Clear All Items");
    initLayerImages();
    rotate = m_rotateCheck.GetCheck() == 1;
    m_pathEdit.EnableFileBrowseButton(L"DWG", L"Drawing files|*.DWG||", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    m_filterEdit.SetCueBanner(L"Filter blocks");
    if (m_tips.Create(this)) {
        m_tips.SetMaxTipWidth(400);
        m_tips.AddTool(&m_picture, L"Double Click to insert");
        m_tips.AddTool(&m_historyList, L"Double Click to open\r\nDrag to insert");
        m_tips.AddTool(&m_blockList, L"Double Click or Drag a block to insert");
        m_tips.AddTool(&m_allLibrariesCheck, LPSTR_TEXTCALLBACK);
        m_tips.Activate(TRUE);
    }
    fillLayerCombo(acDocManager->curDocument());
    return TRUE;
}

void CBlockManagerTabDlg::initHistoryList() {
    m_historyList.SetExtendedStyle(m_historyList.GetExtendedStyle() | LVS_EX_GRIDLINES);
    CRect outer;
    m_historyList.GetWindowRect(&outer);
    m_historyList.InsertColumn(0, L"", LVCFMT_LEFT, outer.Width());
}

void CBlockManagerTabDlg::initLayerImages() {
    if (m_layerImages.Create(res::IDB_LAYER_SWATCHES, 16, 0, RGB(127, 127, 127)))
        m_layerCombo.SetImageList(&m_layerImages);
}

BOOL CBlockManagerTabDlg::PreTranslateMessage(MSG* message) {
    m_tips.RelayEvent(message);
    return CAcUiDialog::PreTranslateMessage(message);
}

// --- scale and rotation ---

void CBlockManagerTabDlg::showScale(double value) {
    std::array<ACHAR, kNumberBuffer> text{};
    if (acdbRToS(value, -1, -1, text.data(), text.size()) == RTNORM) m_scaleEdit.SetWindowText(text.data());
}

void CBlockManagerTabDlg::showRotation(double value) {
    std::array<ACHAR, kNumberBuffer> text{};
    if (acdbAngToS(value, -1, -1, text.data(), text.size()) == RTNORM) m_rotationEdit.SetWindowText(text.data());
}

void CBlockManagerTabDlg::commitScale() {
    m_scaleEdit.Convert();
    double value = 0;
    if (acdbDisToF(m_scaleEdit.windowText().c_str(), -1, &value) == RTNORM && value > 0) {
        scale = value;
        showScale(scale);
        return;
    }
    acedAlert(L"Scale out of range, Please check the value");
    showScale(1.0);
}

void CBlockManagerTabDlg::commitRotation() {
    m_rotationEdit.Convert();
    double value = 0;
    if (acdbAngToF(m_rotationEdit.windowText().c_str(), -1, &value) == RTNORM) {
        rotation = value;
        showRotation(rotation);
        return;
    }
    acedAlert(L"Rotation out of range, Please check the value");
    showRotation(0.0);
}

// --- history ---

void CBlockManagerTabDlg::saveHistory() {
    std::vector<std::wstring> entries;
    for (int i = 0; i < m_historyList.GetItemCount(); ++i) {
        std::wstring text = m_historyList.GetItemText(i, 0);
        if (!text.empty()) entries.push_back(std::move(text));
    }
    SQliteUtils::putHistory(entries);
}

void CBlockManagerTabDlg::onPathEditChange() {
    if (pathEditBusy) return;
    const std::wstring text = m_pathEdit.windowText();
    if (text.empty() || !pathFindsAnything(text)) return;
    drawingPath = text;
    m_historyList.InsertItem(0, text.c_str());
    m_historyList.SetFocus();
    m_historyList.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_historyList.SetSelectionMark(0);
    saveHistory();
}

void CBlockManagerTabDlg::onHistoryItemChanged(const NMLISTVIEW& change) {
    if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) && change.iItem >= 0) {
        const std::wstring text = m_historyList.GetItemText(change.iItem, 0);
        if (isDrawingPath(text)) {
            drawingPath = text;
            clearBlockList();
            loadDrawingBlocks();
            // The search takes in the drawing just read, once its entry is stored.
            refreshSearch();
        }
        pathEditBusy = true;
        m_pathEdit.SetWindowText(text.c_str());
        pathEditBusy = false;
    }
    showPreview();
}

void CBlockManagerTabDlg::showPreview() {
    if (drawingPath.empty()) return;
    m_picture.Invalidate(TRUE);
    m_picture.UpdateWindow();
    acdbDisplayPreviewFromDwg(drawingPath.c_str(), m_picture.GetSafeHwnd(), &kPreviewBackground);
    m_picture.UpdateWindow();
}

void CBlockManagerTabDlg::onHistoryDoubleClick(int item) {
    if (item < 0) return;
    const std::wstring text = m_historyList.GetItemText(item, 0);
    if (!isDrawingPath(text)) return;
    drawingPath = text;
    openDrawing();
}

void CBlockManagerTabDlg::openDrawing() {
    if (drawingPath.empty()) return;
    if (acDocManager->appContextOpenDocument(drawingPath.c_str()) != Acad::eOk) printToCommandLine(L"\nFailed");
}

void CBlockManagerTabDlg::onHistoryRightClick(const NMITEMACTIVATE& click) {
    if (click.iItem >= 0) drawingPath = m_historyList.GetItemText(click.iItem, 0);
    CPoint at = click.ptAction;
    m_historyList.ClientToScreen(&at);
    m_historyMenu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
}

// --- layers ---

void CBlockManagerTabDlg::fillLayerCombo(AcApDocument* document) {
    if (!document) return;
    layerName.clear();
    m_layerCombo.ResetContent();
    const std::vector<LayerEntry> layers = collectLayers(document->database());
    COMBOBOXEXITEM item;
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(L"*Active Layer*");
    item.iImage = item.iSelectedImage = kActiveLayerImage;
    m_layerCombo.InsertItem(&item);
    for (std::size_t i = 0; i < layers.size(); ++i) {
        item.iItem = static_cast<INT_PTR>(i + 1);
        item.pszText = const_cast<wchar_t*>(layers[i].name.c_str());
        item.iImage = item.iSelectedImage = layers[i].colorIndex;
        m_layerCombo.InsertItem(&item);
    }
    m_layerCombo.SetCurSel(0);
}

void CBlockManagerTabDlg::onLayerChosen() {
    const int index = m_layerCombo.GetCurSel();
    layerName = index <= 0 ? std::wstring() : m_layerCombo.itemText(index);
    m_blockList.SetFocus();
}

// --- the block list ---

void CBlockManagerTabDlg::fillBlockList(const BlockInfoArray& records) {
    m_blockImages.DeleteImageList();
    m_blockList.SetRedraw(FALSE);
    m_blockList.DeleteAllItems();
    m_blockImages.Create(32, 32, ILC_COLOR32 | ILC_MASK, 0, 0);
    ModuleResourceScope resources;
    const HICON blank = LoadIconW(nullptr, res::IDI_BLANK);
    for (int j = 0; j < records.length(); ++j) {
        const AcArray<Adesk::UInt8>& icon = records[j].previewIcon;
        // An empty icon decodes to nothing, as bytes that do not fit do.
        const std::optional<IconPixels> pixels =
            decodePreviewIcon(icon.asArrayPtr(), static_cast<std::size_t>(icon.length()));
        CBitmap bitmap;
        if (pixels && bitmap.CreateBitmap(kIconSide, kIconSide, 1, 32, pixels->data())) m_blockImages.Add(&bitmap, RGB(255, 255, 255));
        else m_blockImages.Add(blank);
    }
    m_blockNames.clear();
    for (int j = 0; j < records.length(); ++j) {
        m_blockNames.push_back(records[j].name);
        insertBlockItem(m_blockList, j, m_blockNames.back());
    }
    // The list sorts every row in; refilling it in that order later costs no sorting.
    m_sortedBlocks.clear();
    for (int i = 0; i < m_blockList.GetItemCount(); ++i) m_sortedBlocks.push_back(static_cast<int>(m_blockList.GetItemData(i)));
    if (!m_filter.empty()) {
        m_blockList.DeleteAllItems();
        insertMatchingBlocks();
    }
    m_blockList.SetImageList(&m_blockImages, LVSIL_NORMAL);
    m_blockList.SetRedraw(TRUE);
}

// --- the filter ---

// The search's rows stay: they change when the drawing's blocks were read.
void CBlockManagerTabDlg::clearBlockList() {
    if (!m_searching) m_blockList.DeleteAllItems();
    m_blockNames.clear();
    m_sortedBlocks.clear();
}

void CBlockManagerTabDlg::insertMatchingBlocks() {
    for (const int j : m_sortedBlocks)
        if (m_filter.matches(m_blockNames[static_cast<std::size_t>(j)])) insertBlockItem(m_blockList, j, m_blockNames[static_cast<std::size_t>(j)]);
}

void CBlockManagerTabDlg::onFilterChange() {
    m_filter = BlockNameFilter(m_filterEdit.windowText());
    refreshBlockList();
}

void CBlockManagerTabDlg::refreshBlockList() {
    if (m_searching) runSearch();
    else showBlocks();
}

// The selected block stays selected while it still passes.
void CBlockManagerTabDlg::showBlocks(std::optional<BlockRow> selected) {
    m_blockList.SetRedraw(FALSE);
    m_blockList.DeleteAllItems();
    insertMatchingBlocks();
    m_blockList.SetRedraw(TRUE);
    if (selected) selectBlockRow(*selected);
}

std::optional<CBlockManagerTabDlg::BlockRow> CBlockManagerTabDlg::blockRow(int item) const {
    if (item < 0 || item >= m_blockList.GetItemCount()) return std::nullopt;
    const auto j = static_cast<std::size_t>(m_blockList.GetItemData(item));
    if (m_searching) return j < m_hits.size() ? std::optional<BlockRow>(BlockRow{m_hits[j].path, m_hits[j].name}) : std::nullopt;
    if (j >= m_blockNames.size()) return std::nullopt;
    return BlockRow{drawingPath, m_blockNames[j]};
}

std::optional<CBlockManagerTabDlg::BlockRow> CBlockManagerTabDlg::selectedBlockRow() const {
    return blockRow(m_blockList.GetNextItem(-1, LVNI_SELECTED));
}

void CBlockManagerTabDlg::selectBlockRow(const BlockRow& row) {
    for (int i = 0; i < m_blockList.GetItemCount(); ++i)
        if (blockRow(i) == row) {
            m_blockList.SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            m_blockList.SetSelectionMark(i);
            m_blockList.EnsureVisible(i, FALSE);
            return;
        }
}

// --- layout ---

void CBlockManagerTabDlg::OnSize(UINT type, int cx, int cy) {
    CAcUiDialog::OnSize(type, cx, cy);
    for (CListCtrl* list : {static_cast<CListCtrl*>(&m_blockList), &m_historyList}) {
        if (!list->GetSafeHwnd()) continue;
        CRect rect;
        list->GetWindowRect(&rect);
        ScreenToClient(&rect);
        list->MoveWindow(rect.left, rect.top, rect.Width(), std::max(0, cy - rect.top - 20), TRUE);
        list->Invalidate();
    }
}

// --- insertion ---

BlockWorker CBlockManagerTabDlg::makeWorker(const std::wstring& path, AcDbDatabase* target) const {
    BlockWorker worker;
    worker.dwgPath = path;
    worker.targetDb = target;
    worker.layerName = layerName;
    worker.rotate = rotate;
    worker.explode = explode;
    worker.prompt = prompt;
    worker.promptCancelled = false;
    return worker;
}

template <class Operation>
void CBlockManagerTabDlg::runInsertion(const std::wstring& path, Operation operation) {
    AcApDocument* document = acDocManager->curDocument();
    if (!document) return;
    // A command waiting for input keeps the document; nothing is started inside its prompt.
    const DocumentLock lock(document, L"Block Manager insertion");
    if (!lock.locked()) return;
    if (CWnd* view = acedGetAcadDwgView()) view->SetFocus();
    BlockWorker worker = makeWorker(path, document->database());
    operation(worker);
}

void CBlockManagerTabDlg::insertDrawing(const std::wstring& path) {
    if (!isDrawingPath(path) || !acDocManager->curDocument()) return;
    runInsertion(path, [this](BlockWorker& worker) { worker.doInsertBlock(scale, rotation); });
}

// The block list's rows name the drawing they come from: drawingPath for the selected
// drawing's own blocks.
void CBlockManagerTabDlg::insertBlock(const std::wstring& path, const std::wstring& blockName) {
    if (path.empty() || blockName.empty() || !acDocManager->curDocument()) return;
    runInsertion(path, [this, &blockName](BlockWorker& worker) { worker.doInsertSubBlock(scale, rotation, blockName); });
}

void CBlockManagerTabDlg::insertFromBlockRow(int item) {
    if (const std::optional<BlockRow> row = blockRow(item)) insertBlock(row->path, row->name);
}

// --- messages ---

BOOL CBlockManagerTabDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = static_cast<int>(LOWORD(wParam));
    const unsigned code = HIWORD(wParam);
    switch (id) {
        case res::IDC_BM_SCALE:
            if (code == EN_KILLFOCUS) commitScale();
            return TRUE;
        case res::IDC_BM_ROTATION:
            if (code == EN_KILLFOCUS) commitRotation();
            return TRUE;
        case res::IDC_BM_ROTATE: rotate = m_rotateCheck.GetCheck() == 1; return TRUE;
        case res::IDC_BM_EXPLODE: explode = m_explodeCheck.GetCheck() == 1; return TRUE;
        case res::IDC_BM_PROMPT: prompt = m_promptCheck.GetCheck() == 1; return TRUE;
        case res::IDC_BM_LAYERS:
            if (code == CBN_SETFOCUS) fillLayerCombo(acDocManager->curDocument());
            else if (code == CBN_SELENDOK) onLayerChosen();
            return TRUE;
        case res::IDC_BM_PATH:
            if (code == EN_CHANGE) onPathEditChange();
            return TRUE;
        case res::IDC_BM_FILTER:
            if (code == EN_CHANGE) onFilterChange();
            return TRUE;
        case res::IDC_BM_ALL_LIBRARIES: onAllLibrariesClicked(); return TRUE;
        case res::IDC_BM_PICTURE:
            if (code == STN_DBLCLK) insertDrawing(drawingPath);
            return TRUE;
        case res::ID_BM_OPEN: openDrawing(); return TRUE;
        case res::ID_BM_CLEAR_ITEM: clearItem(); return TRUE;
        case res::ID_BM_CLEAR_ALL: clearAllItems(); return TRUE;
        default: return CAcUiDialog::OnCommand(wParam, lParam);
    }
}

BOOL CBlockManagerTabDlg::toolTipText(NMTTDISPINFO& info) {
    if (!(info.uFlags & TTF_IDISHWND)) return FALSE;
    const CWnd* tool = CWnd::FromHandle(reinterpret_cast<HWND>(info.hdr.idFrom));
    if (!tool || tool->GetDlgCtrlID() != res::IDC_BM_ALL_LIBRARIES) return FALSE;
    m_searchTipText = searchTip();
    info.lpszText = m_searchTipText.data();
    return TRUE;
}

BOOL CBlockManagerTabDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    const auto& item = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
    if (header->code == TTN_NEEDTEXT) return toolTipText(*reinterpret_cast<NMTTDISPINFO*>(lParam));
    if (static_cast<int>(wParam) == res::IDC_BM_HISTORY) {
        switch (header->code) {
            case LVN_ITEMCHANGED: onHistoryItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam)); return TRUE;
            case NM_DBLCLK: onHistoryDoubleClick(item.iItem); return TRUE;
            case NM_RCLICK:
                onHistoryRightClick(item);
                *result = 1;
                return TRUE;
            case LVN_BEGINDRAG: {
                const std::wstring dragged = m_historyList.GetItemText(item.iItem, 0);
                if (dragToDrawing()) insertDrawing(dragged);
                return TRUE;
            }
            default: break;
        }
    } else if (static_cast<int>(wParam) == res::IDC_BM_BLOCKS) {
        switch (header->code) {
            case NM_DBLCLK: insertFromBlockRow(item.iItem); return TRUE;
            case LVN_KEYDOWN:
                if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_RETURN)
                    insertFromBlockRow(m_blockList.GetNextItem(-1, LVNI_SELECTED));
                return TRUE;
            case LVN_GETDISPINFO: {
                LVITEM& asked = reinterpret_cast<NMLVDISPINFO*>(lParam)->item;
                if (!(asked.mask & LVIF_IMAGE)) return TRUE;
                asked.iImage = searchIcon(asked.lParam);
                asked.mask |= LVIF_DI_SETITEM;
                return TRUE;
            }
            case LVN_BEGINDRAG: {
                const std::optional<BlockRow> dragged = blockRow(item.iItem);
                if (dragToDrawing() && dragged) insertBlock(dragged->path, dragged->name);
                return TRUE;
            }
            default: break;
        }
    }
    return CAcUiDialog::OnNotify(wParam, lParam, result);
}
