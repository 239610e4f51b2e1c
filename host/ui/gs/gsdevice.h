#pragma once

#include "ui/framework/wintypes.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class AcGsView;

namespace hostui {
class GsSurface;
}

// The graphics system's drawing surface bound to a window: its views are drawn, on
// white with ACI 7 in black, into the window's pixels (width × height from the top-left
// corner, over whatever the window draws itself). A view added to a device is drawn by
// it until erased; the views are not owned.
class AcGsDevice {
public:
    explicit AcGsDevice(HWND window);
    ~AcGsDevice();
    AcGsDevice(const AcGsDevice&) = delete;
    AcGsDevice& operator=(const AcGsDevice&) = delete;

    // The size of the surface in pixels.
    void onSize(int width, int height);
    bool add(AcGsView* view);
    bool erase(AcGsView* view);
    // Both draw the views again at the window's next paint, which a picture taken of the
    // window (GetDC, BitBlt) makes at once.
    void invalidate();
    void update();

    HWND window() const { return m_window.data(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const std::vector<AcGsView*>& views() const { return m_views; }

private:
    QPointer<QWidget> m_window;
    QPointer<hostui::GsSurface> m_surface;
    std::vector<AcGsView*> m_views;
    int m_width = 0, m_height = 0;
};
