#include "fieldtab/dbdialog.h"

#include "fieldtab/fieldmessagebox.h"
#include "fieldtab/listtext.h"
#include "frame/datapaths.h"
#include "frame/moduleresources.h"
#include "frame/textboxdialog.h"
#include "storage/fieldsetstore.h"

DbDialog::DbDialog(CWnd* parent) : CAcUiDialog(res::IDD_TABLE_BROWSER, parent) {}

BOOL DbDialog::OnInitDialog() {
    SetDialogName(L"Quarrow:DialogBd");
    CAcUiDialog::OnInitDialog();
    m_tableList.SubclassDlgItem(res::IDC_TB_TABLES, this);
    CRect client;
    m_tableList.GetClientRect(&client);
    m_tableList.InsertColumn(0, L"DB Entry", LVCFMT_LEFT, client.Width() * 9 / 10);
    m_tableList.SetExtendedStyle(m_tableList.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    fillTableList();
    return TRUE;
}

void DbDialog::fillTableList() {
    std::wstring path;
    if (!getFieldDbPath(path)) {
        fieldMessageBox(this, L"Error: Can't find file FieldDb.db");
        return;
    }
    for (const std::wstring& table : FieldSetStore(path).names())
        m_tableList.InsertItem(m_tableList.GetItemCount(), trimmed(table).c_str());
}

int DbDialog::selectedRow() const { return m_tableList.GetNextItem(-1, LVNI_SELECTED); }

void DbDialog::OnOK() {
    if (const int row = selectedRow(); row >= 0) m_name = m_tableList.GetItemText(row, 0);
    CAcUiDialog::OnOK();
}

// Delete and Rename start alike: the selected row's name becomes the chosen name, and they
// go on only with the file there and a name. Answers the row, or -1 to stop.
int DbDialog::takeSelectedName(std::wstring& path) {
    const int row = selectedRow();
    if (row < 0) return -1;
    m_name = m_tableList.GetItemText(row, 0);
    return getFieldDbPath(path) && !m_name.empty() ? row : -1;
}

void DbDialog::deleteSelected() {
    std::wstring path;
    const int row = takeSelectedName(path);
    if (row < 0) return;
    if (!FieldSetStore(path).remove(m_name)) return;
    m_tableList.DeleteItem(row);
    m_name.clear();
}

void DbDialog::renameSelected() {
    std::wstring path;
    const int row = takeSelectedName(path);
    if (row < 0) return;
    TextBoxDialog prompt(this);
    prompt.m_captionLine = L"Rename Table " + m_name + L" Name to";
    if (prompt.DoModal() != IDOK) return;
    // The list shows names trimmed; a name kept with blanks around it could not be
    // found again by what the list shows.
    const std::wstring newName = trimmed(prompt.m_text);
    if (!FieldSetStore::isValidName(newName)) {
        fieldMessageBox(this, L"Error: Invalid Table name");
        return;
    }
    if (FieldSetStore(path).rename(m_name, newName))
        m_tableList.SetItemText(row, 0, newName.c_str());
}

void DbDialog::sortByName() {
    if (m_tableList.GetItemCount() < 2) return;
    sortByColumnText(m_tableList, 0, m_sortAscendingNext);
    m_sortAscendingNext = !m_sortAscendingNext;
}

BOOL DbDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (static_cast<int>(LOWORD(wParam))) {
        case res::IDC_TB_DELETE: deleteSelected(); return TRUE;
        case res::IDC_TB_RENAME: renameSelected(); return TRUE;
        default: return CAcUiDialog::OnCommand(wParam, lParam);
    }
}

BOOL DbDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (static_cast<int>(wParam) == res::IDC_TB_TABLES && header->code == LVN_COLUMNCLICK) {
        sortByName();
        return TRUE;
    }
    return CAcUiDialog::OnNotify(wParam, lParam, result);
}

LRESULT DbDialog::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }
