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
    if (m_tips.Create(this)) {
        m_tips.SetMaxTipWidth(400);
        m_tips.AddTool(&m_picture, L"Double Click to insert");
        m_tips.AddTool(&m_historyList, L"Double Click to open\r\nDrag to insert");
        m_tips.AddTool(&m_blockList, L"Double Click or Drag a block to insert");
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
            m_blockList.DeleteAllItems();
            loadDrawingBlocks();
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
    for (int j = 0; j < records.length(); ++j) m_blockList.InsertItem(j, records[j].name.c_str(), j);
    m_blockList.SetImageList(&m_blockImages, LVSIL_NORMAL);
    m_blockList.SetRedraw(TRUE);
}

// --- layout ---

void CBlockManagerTabDlg::OnSize(UINT type, int cx, int cy) {
    CAcUiDialog::OnSize(type, cx, cy);
    for (CListCtrl* list : {&m_blockList, &m_historyList}) {
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
    const DocumentLock lock(document);
    if (!lock.locked()) return;
    if (CWnd* view = acedGetAcadDwgView()) view->SetFocus();
    BlockWorker worker = makeWorker(path, document->database());
    operation(worker);
}

void CBlockManagerTabDlg::insertDrawing(const std::wstring& path) {
    if (!isDrawingPath(path) || !acDocManager->curDocument()) return;
    runInsertion(path, [this](BlockWorker& worker) { worker.doInsertBlock(scale, rotation); });
}

void CBlockManagerTabDlg::insertBlock(const std::wstring& blockName) {
    if (drawingPath.empty() || blockName.empty() || !acDocManager->curDocument()) return;
    runInsertion(drawingPath, [this, &blockName](BlockWorker& worker) { worker.doInsertSubBlock(scale, rotation, blockName); });
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
        case res::IDC_BM_PICTURE:
            if (code == STN_DBLCLK) insertDrawing(drawingPath);
            return TRUE;
        case res::ID_BM_OPEN: openDrawing(); return TRUE;
        case res::ID_BM_CLEAR_ITEM: clearItem(); return TRUE;
        case res::ID_BM_CLEAR_ALL: clearAllItems(); return TRUE;
        default: return CAcUiDialog::OnCommand(wParam, lParam);
    }
}

BOOL CBlockManagerTabDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    const auto& item = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
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
            case NM_DBLCLK:
                if (item.iItem >= 0) insertBlock(m_blockList.GetItemText(item.iItem, 0));
                return TRUE;
            case LVN_BEGINDRAG: {
                const std::wstring dragged = m_blockList.GetItemText(item.iItem, 0);
                if (dragToDrawing()) insertBlock(dragged);
                return TRUE;
            }
            default: break;
        }
    }
    return CAcUiDialog::OnNotify(wParam, lParam, result);
}
