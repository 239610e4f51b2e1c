#pragma once

#include "blocktab/blockmanagertabdlg.h"
#include "fieldtab/fieldmanagertabdlg.h"
#include "frame/hostapi.h"

// The palette's tab host (template 103): a vertical tab control with the Block Manager
// and the Field Manager page. Tabs sit on the palette's outer side: on the right while
// the palette is in the main window's left half, on the left in its right half.
class CZelDockControlBarChildDlg : public CAcUiDialog {
public:
    CZelDockControlBarChildDlg();

    CTabCtrl& tabControl() { return m_tab; }
    CBlockManagerTabDlg& blockPage() { return m_blockPage; }
    CFieldManagerTabDlg& fieldPage() { return m_fieldPage; }

protected:
    int OnCreate(LPCREATESTRUCT create) override;
    BOOL OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;

private:
    void showPage(int index);
    void refreshTabFont();

    CFont m_font;
    CTabCtrl m_tab;
    CBlockManagerTabDlg m_blockPage;
    CFieldManagerTabDlg m_fieldPage;
};
