#include "fieldtab/propctrl.h"

bool sameKey(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    std::wstring upperA = a, upperB = b;
    CharUpperW(upperA.data());
    CharUpperW(upperB.data());
    return upperA == upperB;
}

int CPropCtrl::selectedRow() const {
    int selected = -1;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) selected = row;
    return selected;
}

int CPropCtrl::findKey(const std::wstring& key, int except) const {
    for (int row = 0; row < GetItemCount(); ++row)
        if (row != except && sameKey(keyAt(row), key)) return row;
    return -1;
}

void CPropCtrl::finishEdit() {
    if (CEdit* edit = GetEditControl()) edit->SendMessage(WM_KEYDOWN, VK_RETURN);
}

UINT CPropCtrl::OnGetDlgCode() { return CListCtrl::OnGetDlgCode() | DLGC_WANTARROWS | DLGC_WANTTAB; }

void CPropCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (nChar == VK_TAB) editNeighbour(shift ? -1 : 1);
    else if (nChar == VK_DOWN) editNeighbour(1);
    else if (nChar == VK_UP) editNeighbour(-1);
    else CListCtrl::OnKeyDown(nChar, nRepCnt, nFlags);
}

// Next of the last row, or of none, is the first; previous of the first is the last.
void CPropCtrl::editNeighbour(int step) {
    const int count = GetItemCount();
    if (count == 0) return;
    int row = selectedRow() + step;
    if (row >= count) row = 0;
    if (row < 0) row = count - 1;
    EditLabel(row);
}

BOOL CPropCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message != WM_NOTIFY) return FALSE;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
        case NM_CLICK: {
            const auto& click = *reinterpret_cast<const NMITEMACTIVATE*>(lParam);
            if (click.iItem >= 0) EditLabel(click.iItem);
            *result = 0;
            return TRUE;
        }
        case LVN_BEGINLABELEDIT: beginEdit(*reinterpret_cast<const NMLVDISPINFO*>(lParam), result); return TRUE;
        case LVN_ENDLABELEDIT: endEdit(*reinterpret_cast<const NMLVDISPINFO*>(lParam), result); return TRUE;
        default: return FALSE;
    }
}

void CPropCtrl::beginEdit(const NMLVDISPINFO& info, LRESULT* result) {
    CRect cell;
    GetSubItemRect(info.item.iItem, valueColumn, LVIR_LABEL, cell);
    if (m_edit.GetSafeHwnd()) m_edit.UnsubclassWindow();
    CEdit* box = GetEditControl();
    if (box) m_edit.SubclassWindow(box->GetSafeHwnd());
    m_edit.forceGeometry(cell);
    m_edit.SetWindowText(valueAt(info.item.iItem).c_str());
    *result = FALSE;
}

void CPropCtrl::endEdit(const NMLVDISPINFO& info, LRESULT* result) {
    if (info.item.pszText) SetItemText(info.item.iItem, valueColumn, info.item.pszText);
    m_edit.UnsubclassWindow();
    *result = TRUE;
}
