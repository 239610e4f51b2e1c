#include "blocktab/blockmanagertabdlg.h"

#include "frame/moduleresources.h"

CBlockManagerTabDlg::CBlockManagerTabDlg() : CAcUiDialog(res::IDD_BLOCK_MANAGER) {}

LRESULT CBlockManagerTabDlg::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }
