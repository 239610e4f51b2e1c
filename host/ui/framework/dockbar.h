#pragma once

#include "ui/framework/wnd.h"

#include <QPointer>
#include <QString>

#include <QDockWidget>

// A control bar that docks at an edge of the main window or floats. While docked, every
// layout of the main window asks the bar's CalcDynamicLayout for its size and applies
// the width it answers; SizeChanged then tells the bar its new client rectangle and
// whether it floats. The dock side and size are kept under the bar's tool identifier.
// The bar's window is the area inside the dock's title; the close control hides it.
class CAdUiDockControlBar : public CWnd {
public:
    CAdUiDockControlBar();
    ~CAdUiDockControlBar() override;

    virtual BOOL Create(LPCTSTR className, LPCTSTR title, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetToolID(const GUID* id);
    void EnableDocking(DWORD sides);
    DWORD GetBarStyle() const { return m_barStyle; }
    void SetBarStyle(DWORD style) { m_barStyle = style; }
    // Puts the bar where it was saved under the tool identifier, else at dockBarId.
    BOOL RestoreControlBar(UINT dockBarId = AFX_IDW_DOCKBAR_LEFT, CRect* rect = nullptr);
    BOOL IsFloating() const;
    // Where the bar is: "left", "right" or "floating"; kept under the tool identifier.
    QString dockSide() const;

    // The framework's own answer: the bar's current outer size.
    virtual CSize CalcDynamicLayout(int length, DWORD mode);
    virtual void SizeChanged(CRect* rect, BOOL floating, int flags);
    // A bar that collapses to a strip says whether it is collapsed now, for the host's
    // scripts to show; the framework's bars never collapse.
    virtual BOOL IsCollapsed() const { return FALSE; }

    // The framework's side.
    QDockWidget* dock() const { return m_dock.data(); }
    QString toolKey() const { return m_toolKey; }
    // Docks at the left or right edge, or floats.
    void placeAt(Qt::DockWidgetArea area);
    void setFloatingBar(bool floating);
    // Drags the docked bar's inner edge to width pixels, as a person's mouse does.
    void dragEdgeTo(int width);
    // SizeChanged, then WM_SIZE, for the bar's current size.
    void notifySized();
    // The width saved under the tool identifier, once the restored bar is shown.
    void applyRestoredWidth();
    void saveState() const;

private:
    void giveFloatingSize();

    QPointer<QDockWidget> m_dock;
    QString m_toolKey;
    DWORD m_barStyle = 0;
    DWORD m_dockingSides = 0;
    int m_restoredWidth = 0;
    bool m_restored = false;
    bool m_floatingSized = false;
};

// A window class name for a bar; the host has one class for every window.
LPCTSTR AfxRegisterWndClass(UINT classStyle, void* cursor = nullptr, void* background = nullptr, void* icon = nullptr);
constexpr const wchar_t* IDC_ARROW = L"arrow";
void* LoadCursor(void* instance, const wchar_t* name);
