#pragma once

#include "frame/hostapi.h"
#include "palette/zeldockcontrolbarchilddlg.h"

#include <cstdint>

// The palette: a docking bar titled "Marvolt" holding the tab host. While docked it
// collapses to a 30-pixel strip and expands back to its earlier width; requests to do
// so wait in sizingRequest until the next docked layout takes them.
class CZelDockControlBar : public CAdUiDockControlBar {
public:
    static constexpr UINT kExpandRequest = WM_USER + 16;  // 0x410
    static constexpr UINT kCollapseRequest = 0x1002;
    static constexpr std::uint32_t kExpandBit = 0x80, kCollapseBits = 0x60;
    static constexpr int kCollapsedWidth = 30;
    static constexpr std::uint32_t kDefaultWidth = 410;

    CZelDockControlBar();

    using CAdUiDockControlBar::Create;
    BOOL Create(CWnd* parent, LPCTSTR title);
    BOOL PreTranslateMessage(MSG* message) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void SizeChanged(CRect* rect, BOOL floating, int flags) override;
    BOOL IsCollapsed() const override { return m_collapsed ? TRUE : FALSE; }

    // "marvolthide" and a double-click: expand when collapsed, else collapse.
    void toggle();

    CZelDockControlBarChildDlg& tabHost() { return m_tabHost; }
    CSize layoutSize() const { return m_layoutSize; }
    std::uint32_t expandedWidth() const { return m_expandedWidth; }
    std::uint32_t sizingRequest() const { return m_sizingRequest; }
    bool collapsed() const { return m_collapsed; }
    bool dragging() const { return m_dragging; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCT create) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;

private:
    void collapse();
    void expand();

    CZelDockControlBarChildDlg m_tabHost;
    CSize m_layoutSize{0, 0};
    std::uint32_t m_expandedWidth = kDefaultWidth;
    std::uint32_t m_sizingRequest = kExpandBit;
    bool m_collapsed = false;
    bool m_dragging = false;
};
