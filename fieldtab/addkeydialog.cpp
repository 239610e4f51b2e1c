#include "fieldtab/addkeydialog.h"

#include "frame/moduleresources.h"

AddKeyDialog::AddKeyDialog(CWnd* parent) : CAcUiDialog(res::IDD_KEY_DIALOG, parent) {}

BOOL AddKeyDialog::OnInitDialog() {
    SetDialogName(L"Pelorin:KeyEditDialog");
    CAcUiDialog::OnInitDialog();
    m_keyEdit.SubclassDlgItem(res::IDC_KEY_KEY, this);
    m_valueEdit.SubclassDlgItem(res::IDC_KEY_VALUE, this);
    m_keyEdit.SetWindowText(key.c_str());
    m_valueEdit.SetWindowText(value.c_str());
    m_keyEdit.SetFocus();
    return TRUE;
}

void AddKeyDialog::OnOK() {
    key = m_keyEdit.windowText();
    value = m_valueEdit.windowText();
    CAcUiDialog::OnOK();
}

LRESULT AddKeyDialog::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }
