#include "fieldtab/fieldmanagertabdlg.h"

#include "fieldtab/addkeydialog.h"
#include "fieldtab/fielddatabase.h"
#include "fieldtab/fieldinsertion.h"
#include "fieldtab/listtext.h"
#include "fieldtab/propertyexchange.h"
#include "frame/dragtodrawing.h"
#include "frame/moduleresources.h"

#include <array>
#include <exception>

namespace {

constexpr std::array<const wchar_t*, CFieldManagerTabDlg::actionCount> kActionNames = {
    L"Get From This Drawing", L"Save To This Drawing", L"Get From Other Drawing", L"Save To Other Drawing",
    L"Clear this Drawing",    L"Clear Other Drawing",  L"Save To Database",       L"Get From Database",
    L"Clear Grid",            L"Add Key",              L"Delete Key",             L"Edit Key"};

constexpr const wchar_t* kDuplicateKey = L"Error: Cannot have duplicate keys";
constexpr const wchar_t* kEmptyKey = L"Error: Key cannot be empty or null";
constexpr const wchar_t* kListTip = L"Drag a Field item to the drawing to insert";
constexpr int kBottomMargin = 20;
constexpr int kNoWrap = 32767;

}  // namespace

CFieldManagerTabDlg::CFieldManagerTabDlg() : CAcUiDialog(res::IDD_FIELD_MANAGER) {}

LRESULT CFieldManagerTabDlg::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }

// --- initialisation ---

BOOL CFieldManagerTabDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    m_actions.SubclassDlgItem(res::IDC_FM_ACTIONS, this);
    m_propertyList.SubclassDlgItem(res::IDC_FM_PROPERTIES, this);
    for (const wchar_t* name : kActionNames) m_actions.AddString(name);
    m_actions.SetCurSel(0);
    initPropertyList();
    if (m_tips.Create(this)) {
        m_tips.AddTool(&m_propertyList, LPSTR_TEXTCALLBACK);
        m_tips.Activate(TRUE);
    }
    return TRUE;
}

// "Key" shows left of "Value"; the two fill the list's width beside a vertical scroll bar.
void CFieldManagerTabDlg::initPropertyList() {
    CRect client;
    m_propertyList.GetClientRect(&client);
    const int width = client.Width();
    m_propertyList.InsertColumn(CPropCtrl::valueColumn, L"Value", LVCFMT_LEFT,
                                width - width / 2 - GetSystemMetrics(SM_CXVSCROLL));
    m_propertyList.InsertColumn(CPropCtrl::keyColumn, L"Key", LVCFMT_LEFT, width / 2 - 6);
    std::array<int, 2> order = {CPropCtrl::keyColumn, CPropCtrl::valueColumn};
    m_propertyList.SetColumnOrderArray(static_cast<int>(order.size()), order.data());
    m_propertyList.SetExtendedStyle(m_propertyList.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_propertyList.ModifyStyle(0, LVS_SHOWSELALWAYS);
}

void CFieldManagerTabDlg::DoDataExchange(CDataExchange* exchange) {
    CAcUiDialog::DoDataExchange(exchange);
    DDX_Radio(exchange, res::IDC_FM_AS_MTEXT, insertMode);
}

// --- the list's contents ---

void CFieldManagerTabDlg::mergeProperties(const PropertyMap& map) {
    int top = 0;
    for (const auto& [rawKey, rawValue] : map) {
        // The test takes the key as it came: " Scale" from a drawing joins "Scale", and
        // both can go back to where they came from. A key of blanks alone would be an
        // empty key, which the list never holds.
        if (m_propertyList.findKey(rawKey) >= 0) continue;
        const std::wstring key = trimmed(rawKey);
        if (key.empty()) continue;
        const int row = m_propertyList.InsertItem(top, trimmed(rawValue).c_str());
        if (row < 0) continue;
        m_propertyList.SetItemText(row, CPropCtrl::keyColumn, key.c_str());
        ++top;
    }
}

PropertyMap CFieldManagerTabDlg::collectProperties() const {
    PropertyMap map;
    for (int row = 0; row < m_propertyList.GetItemCount(); ++row) map[m_propertyList.keyAt(row)] = m_propertyList.valueAt(row);
    return map;
}

PropertyRows CFieldManagerTabDlg::collectRows() const {
    PropertyRows rows;
    for (int row = 0; row < m_propertyList.GetItemCount(); ++row)
        rows.emplace_back(m_propertyList.keyAt(row), m_propertyList.valueAt(row));
    return rows;
}

// --- the actions ---

namespace {
// The key dialog is made from the module's template.
int runKeyDialog(AddKeyDialog& dialog) {
    ModuleResourceScope resources;
    return static_cast<int>(dialog.DoModal());
}
}  // namespace

void CFieldManagerTabDlg::runAction(int action) {
    // What was typed in place belongs to the list before anything reads or changes it.
    m_propertyList.finishEdit();
    try {
        dispatch(action);
    } catch (const std::exception& failure) {
        const std::string what = failure.what();
        AfxMessageBox((L"Error: " + std::wstring(what.begin(), what.end())).c_str(), MB_OK);
    }
    SetFocus();
}

void CFieldManagerTabDlg::dispatch(int action) {
    switch (action) {
        case getFromThisDrawing:
            if (const auto map = ::getFromThisDrawing()) mergeProperties(*map);
            break;
        case saveToThisDrawing: ::saveToThisDrawing(this, collectProperties()); break;
        case getFromOtherDrawing:
            if (const auto map = ::getFromOtherDrawing(this)) mergeProperties(*map);
            break;
        case saveToOtherDrawing: ::saveToOtherDrawing(this, collectProperties()); break;
        case clearThisDrawing: ::clearThisDrawing(this); break;
        case clearOtherDrawing: ::clearOtherDrawing(this); break;
        case saveToDatabase: ::saveToDatabase(this, collectRows()); break;
        case getFromDatabase:
            if (const auto map = ::getFromDatabase(this)) mergeProperties(*map);
            break;
        case clearGrid: m_propertyList.DeleteAllItems(); break;
        case addKey: addRow(); break;
        case deleteKey: deleteRow(); break;
        case editKey: editRow(); break;
        default: break;
    }
}

// Keys from the dialog are kept as typed: a key of one blank is a key.
bool CFieldManagerTabDlg::acceptableKey(const std::wstring& key, int except) const {
    if (m_propertyList.findKey(key, except) >= 0) {
        AfxMessageBox(kDuplicateKey, MB_OK);
        return false;
    }
    if (key.empty()) {
        AfxMessageBox(kEmptyKey, MB_OK);
        return false;
    }
    return true;
}

void CFieldManagerTabDlg::addRow() {
    AddKeyDialog dialog(this);
    if (runKeyDialog(dialog) != IDOK) return;
    const std::wstring& key = dialog.key;
    if (!acceptableKey(key, -1)) return;
    const int row = m_propertyList.InsertItem(m_propertyList.GetItemCount(), dialog.value.c_str());
    if (row >= 0) m_propertyList.SetItemText(row, CPropCtrl::keyColumn, key.c_str());
}

void CFieldManagerTabDlg::editRow() {
    const int row = m_propertyList.selectedRow();
    if (row < 0) {
        addRow();
        return;
    }
    AddKeyDialog dialog(this);
    dialog.key = m_propertyList.keyAt(row);
    dialog.value = m_propertyList.valueAt(row);
    if (runKeyDialog(dialog) != IDOK) return;
    const std::wstring key = dialog.key;
    if (!acceptableKey(key, row) || row >= m_propertyList.GetItemCount()) return;
    m_propertyList.SetItemText(row, CPropCtrl::keyColumn, key.c_str());
    m_propertyList.SetItemText(row, CPropCtrl::valueColumn, dialog.value.c_str());
}

void CFieldManagerTabDlg::deleteRow() {
    const int row = m_propertyList.selectedRow();
    if (row >= 0) m_propertyList.DeleteItem(row);
}

// --- list events ---

void CFieldManagerTabDlg::sortByColumn(int column) {
    if (m_propertyList.GetItemCount() < 2) return;
    sortByColumnText(m_propertyList, column, sortAscendingNext);
    sortAscendingNext = !sortAscendingNext;
}

void CFieldManagerTabDlg::beginDrag(int row) {
    UpdateData(TRUE);
    if (!dragToDrawing() || row < 0) return;
    placeField(this, m_propertyList.keyAt(row), insertMode);
}

BOOL CFieldManagerTabDlg::toolTipText(NMTTDISPINFO& info) {
    if (!(info.uFlags & TTF_IDISHWND)) return FALSE;
    // Long tips wrap rather than run off the screen.
    if (auto* tips = dynamic_cast<CToolTipCtrl*>(CWnd::FromHandle(info.hdr.hwndFrom))) tips->SetMaxTipWidth(kNoWrap);
    const CWnd* tool = CWnd::FromHandle(reinterpret_cast<HWND>(info.hdr.idFrom));
    if (tool && tool->GetDlgCtrlID() == res::IDC_FM_PROPERTIES) info.lpszText = const_cast<wchar_t*>(kListTip);
    return TRUE;
}

// --- messages ---

void CFieldManagerTabDlg::OnSize(UINT type, int cx, int cy) {
    CAcUiDialog::OnSize(type, cx, cy);
    if (!m_propertyList.GetSafeHwnd()) return;
    CRect rect;
    m_propertyList.GetWindowRect(&rect);
    ScreenToClient(&rect);
    m_propertyList.MoveWindow(rect.left, rect.top, rect.Width(), std::max(0, cy - rect.top - kBottomMargin), TRUE);
}

BOOL CFieldManagerTabDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (static_cast<int>(LOWORD(wParam)) != res::IDC_FM_ACTIONS) return CAcUiDialog::OnCommand(wParam, lParam);
    if (HIWORD(wParam) == CBN_SELENDOK) runAction(m_actions.GetCurSel());
    return TRUE;
}

BOOL CFieldManagerTabDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == TTN_NEEDTEXT) return toolTipText(*reinterpret_cast<NMTTDISPINFO*>(lParam));
    if (static_cast<int>(wParam) != res::IDC_FM_PROPERTIES) return CAcUiDialog::OnNotify(wParam, lParam, result);
    const auto& item = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
    try {
        switch (header->code) {
            case LVN_COLUMNCLICK: sortByColumn(item.iSubItem); return TRUE;
            case NM_DBLCLK: runAction(editKey); return TRUE;
            case LVN_BEGINDRAG: beginDrag(item.iItem); return TRUE;
            default: break;
        }
    } catch (const std::exception&) {
        // A placement reports its own failures; nothing of it may leave the window.
        return TRUE;
    }
    return CAcUiDialog::OnNotify(wParam, lParam, result);
}
