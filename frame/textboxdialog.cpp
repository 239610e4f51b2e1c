#include "frame/textboxdialog.h"

#include "frame/moduleresources.h"

TextBoxDialog::TextBoxDialog(CWnd* parent) : CAcUiDialog(res::IDD_TEXTBOX, parent) {}

BOOL TextBoxDialog::OnInitDialog() {
    SetDialogName(L"Marvolt:TextBox");
    CAcUiDialog::OnInitDialog();
    m_captionControl.SubclassDlgItem(res::IDC_TEXTBOX_CAPTION, this);
    m_edit.SubclassDlgItem(res::IDC_TEXTBOX_EDIT, this);
    m_edit.SetWindowText(m_text.c_str());
    m_captionControl.SetWindowText(m_captionLine.c_str());
    return TRUE;
}

void TextBoxDialog::OnOK() {
    m_text = m_edit.windowText();
    CAcUiDialog::OnOK();
}

LRESULT TextBoxDialog::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }
