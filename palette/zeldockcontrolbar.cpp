#include "palette/zeldockcontrolbar.h"

#include "frame/moduleresources.h"

namespace {

// The key under which the host keeps the palette's place; never changes.
constexpr GUID kPaletteToolId = {0x6D2B9E41, 0x3C7A, 0x4F15, {0x9A, 0x20, 0x5E, 0x8B, 0x71, 0xC4, 0x0D, 0x93}};

}  // namespace

CZelDockControlBar::CZelDockControlBar() = default;

BOOL CZelDockControlBar::Create(CWnd* parent, LPCTSTR title) {
    LPCTSTR windowClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
    if (!CAdUiDockControlBar::Create(windowClass, title, WS_VISIBLE | WS_CHILD | WS_CLIPCHILDREN,
                                     CRect(0, 0, 370, 370), parent, 0))
        return FALSE;
    SetToolID(&kPaletteToolId);
    return TRUE;
}

int CZelDockControlBar::OnCreate(LPCREATESTRUCT create) {
    if (CAdUiDockControlBar::OnCreate(create) == -1) return -1;
    m_tabHost.Create(res::IDD_PALETTE_TABS, this);
    m_tabHost.MoveWindow(0, 0, 100, 100);
    return 0;
}

BOOL CZelDockControlBar::PreTranslateMessage(MSG* message) {
    if (message->message == WM_MOUSEMOVE && message->hwnd == GetSafeHwnd()) m_dragging = message->wParam == MK_LBUTTON;
    return CAdUiDockControlBar::PreTranslateMessage(message);
}

CSize CZelDockControlBar::CalcDynamicLayout(int length, DWORD mode) {
    if (IsFloating()) {
        m_collapsed = false;
        return CAdUiDockControlBar::CalcDynamicLayout(length, mode);
    }
    const CSize base = CAdUiDockControlBar::CalcDynamicLayout(length, mode);
    if (m_dragging) return base;
    if (m_collapsed && (m_sizingRequest & kExpandBit)) {
        CRect window;
        GetWindowRect(&window);
        m_layoutSize.cx = m_expandedWidth > static_cast<std::uint32_t>(kCollapsedWidth)
                              ? static_cast<int>(m_expandedWidth)
                              : static_cast<int>(kDefaultWidth);
        m_collapsed = false;
        m_layoutSize.cy = window.Height();
    } else if (!m_collapsed && (m_sizingRequest & kCollapseBits)) {
        CRect window;
        GetWindowRect(&window);
        m_layoutSize.cx = kCollapsedWidth;
        m_collapsed = true;
        m_layoutSize.cy = window.Height();
    }
    if (m_layoutSize.cx >= 1) {
        if (m_layoutSize.cx > 2 * static_cast<int>(kDefaultWidth)) m_layoutSize.cx = static_cast<int>(kDefaultWidth);
        m_sizingRequest = 0;
        return m_layoutSize;
    }
    return base;
}

void CZelDockControlBar::SizeChanged(CRect* rect, BOOL floating, int flags) {
    CAdUiDockControlBar::SizeChanged(rect, floating, flags);
    if (m_tabHost.GetSafeHwnd() && rect)
        m_tabHost.SetWindowPos(nullptr, rect->left + 4, rect->top + 4, rect->Width(), rect->Height(), SWP_NOZORDER);
    CRect window;
    GetWindowRect(&window);
    m_layoutSize = {window.Width(), window.Height()};
}

void CZelDockControlBar::OnSize(UINT type, int cx, int cy) {
    CAdUiDockControlBar::OnSize(type, cx, cy);
    if (m_tabHost.GetSafeHwnd()) {
        m_tabHost.MoveWindow(0, 0, cx, cy);
        m_tabHost.Invalidate();
    }
}

void CZelDockControlBar::OnLButtonDown(UINT flags, CPoint point) {
    m_collapsed = false;
    CAdUiDockControlBar::OnLButtonDown(flags, point);
}

void CZelDockControlBar::OnLButtonDblClk(UINT flags, CPoint point) {
    CAdUiDockControlBar::OnLButtonDblClk(flags, point);
    toggle();
}

LRESULT CZelDockControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kExpandRequest) {
        expand();
        return 0;
    }
    if (message == kCollapseRequest) {
        collapse();
        return 0;
    }
    return CAdUiDockControlBar::WindowProc(message, wParam, lParam);
}

void CZelDockControlBar::toggle() {
    m_dragging = false;
    if (m_collapsed) expand();
    else collapse();
}

void CZelDockControlBar::collapse() {
    CFrameWnd* frame = acedGetAcadFrame();
    if (!frame) return;
    m_dragging = false;
    CRect window;
    GetWindowRect(&window);
    m_expandedWidth = static_cast<std::uint32_t>(std::max(0, window.Width()));
    m_sizingRequest = 0x60;
    frame->RecalcLayout();
}

void CZelDockControlBar::expand() {
    CFrameWnd* frame = acedGetAcadFrame();
    if (!frame) return;
    m_dragging = false;
    m_sizingRequest = kExpandBit;
    frame->RecalcLayout();
}
