#include "palette/zeldockcontrolbarchilddlg.h"

#include "frame/moduleresources.h"
#include "palette/zeldockcontrolbar.h"

namespace {
// Width of the tab strip beside the pages.
constexpr int kTabStrip = 23;
constexpr int kTop = 10;
}  // namespace

CZelDockControlBarChildDlg::CZelDockControlBarChildDlg() : CAcUiDialog(res::IDD_PALETTE_TABS) {}

int CZelDockControlBarChildDlg::OnCreate(LPCREATESTRUCT create) {
    if (CAcUiDialog::OnCreate(create) == -1) return -1;
    m_blockPage.Create(res::IDD_BLOCK_MANAGER, this);
    m_fieldPage.Create(res::IDD_FIELD_MANAGER, this);
    return 0;
}

BOOL CZelDockControlBarChildDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    m_tab.SubclassDlgItem(res::IDC_PALETTE_TAB, this);
    SetWindowTheme(m_tab.GetSafeHwnd(), L" ", L" ");
    m_tab.InsertItem(0, L" Block Explorer ");
    m_tab.InsertItem(1, L" Field Manager ");
    m_blockPage.ShowWindow(SW_HIDE);
    m_fieldPage.ShowWindow(SW_HIDE);
    m_blockPage.ShowWindow(SW_SHOW);
    return TRUE;
}

void CZelDockControlBarChildDlg::OnSize(UINT type, int cx, int cy) {
    CAcUiDialog::OnSize(type, cx, cy);
    if (!m_tab.GetSafeHwnd()) return;
    CRect mine;
    GetWindowRect(&mine);
    int mainCentre = (mine.left + mine.right) / 2;
    if (CFrameWnd* frame = acedGetAcadFrame()) {
        CRect main;
        frame->GetWindowRect(&main);
        mainCentre = (main.left + main.right) / 2;
    }
    const bool paletteOnRight = (mine.left + mine.right) / 2 > mainCentre;
    m_tab.MoveWindow(0, kTop, cx, cy - kTop, TRUE);
    const int pageLeft = paletteOnRight ? kTabStrip : 0;
    m_blockPage.MoveWindow(pageLeft, kTop, cx - kTabStrip, cy - kTop, TRUE);
    m_fieldPage.MoveWindow(pageLeft, kTop, cx - kTabStrip, cy - kTop, TRUE);
    if (paletteOnRight) m_tab.ModifyStyle(TCS_RIGHT, 0, SWP_FRAMECHANGED);
    else m_tab.ModifyStyle(0, TCS_RIGHT, SWP_FRAMECHANGED);
    refreshTabFont();
}

// The tab text is drawn upright along the tab: the font is made again without
// escapement, and the selected tab gets its focus mark back.
void CZelDockControlBarChildDlg::refreshTabFont() {
    CFont* current = m_tab.GetFont();
    if (!current) return;
    LOGFONT description;
    if (!current->GetLogFont(&description)) return;
    description.lfEscapement = 0;
    m_font.DeleteObject();
    if (!m_font.CreateFontIndirect(&description)) return;
    m_tab.SetFont(&m_font, TRUE);
    const int selected = m_tab.GetCurSel();
    m_tab.SetCurSel(selected);
    m_tab.SetCurFocus(selected);
}

void CZelDockControlBarChildDlg::showPage(int index) {
    m_blockPage.ShowWindow(SW_HIDE);
    m_fieldPage.ShowWindow(SW_HIDE);
    if (index == 0) m_blockPage.ShowWindow(SW_SHOW);
    else if (index == 1) m_fieldPage.ShowWindow(SW_SHOW);
}

BOOL CZelDockControlBarChildDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != static_cast<UINT_PTR>(res::IDC_PALETTE_TAB))
        return CAcUiDialog::OnNotify(wParam, lParam, result);
    if (header->code == TCN_SELCHANGE) {
        showPage(m_tab.GetCurSel());
        *result = 0;
        return TRUE;
    }
    if (header->code == NM_CLICK) {
        if (CWnd* palette = GetParent()) palette->SendMessage(CZelDockControlBar::kExpandRequest);
        *result = 0;
        return TRUE;
    }
    return CAcUiDialog::OnNotify(wParam, lParam, result);
}

LRESULT CZelDockControlBarChildDlg::OnAcadKeepFocus(WPARAM, LPARAM) { return TRUE; }
