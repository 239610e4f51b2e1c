#pragma once

#include "ui/framework/wnd.h"

#include <vector>

class QMainWindow;
class CAdUiDockControlBar;

// The host's main window as the framework sees it: the docking site of control bars.
class CFrameWnd : public CWnd {
public:
    // Lays the bars out again: each visible docked bar is asked its size and told it.
    void RecalcLayout(BOOL notify = TRUE);
    void ShowControlBar(CAdUiDockControlBar* bar, BOOL show, BOOL delay);

    // The framework's side.
    QMainWindow* mainWindow() const;
    void addBar(CAdUiDockControlBar* bar);
    void removeBar(CAdUiDockControlBar* bar);
    const std::vector<CAdUiDockControlBar*>& bars() const { return m_bars; }

private:
    std::vector<CAdUiDockControlBar*> m_bars;
    bool m_inLayout = false;
};

// The main window, or null when the host runs without one.
CFrameWnd* acedGetAcadFrame();
// The drawing view of the main window, or null.
CWnd* acedGetAcadDwgView();

namespace hostui {
// Whether the window holding the widget (or one it lies in) answers the host's
// keep-focus query with TRUE; such windows keep the keyboard focus when the cursor
// moves onto the drawing, all others give it to the drawing.
bool keepsFocus(QWidget* widget);

// The host application registers its main window and drawing view (null to withdraw).
void setMainFrame(QMainWindow* main, QWidget* drawingView);
QWidget* mainFrameWidget();
}  // namespace hostui
