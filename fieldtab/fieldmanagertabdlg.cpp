#include "fieldtab/fieldmanagertabdlg.h"

#include "frame/moduleresources.h"

CFieldManagerTabDlg::CFieldManagerTabDlg() : CAcUiDialog(res::IDD_FIELD_MANAGER) {}

LRESULT CFieldManagerTabDlg::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }
