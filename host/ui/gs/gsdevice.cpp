#include "ui/gs/gsdevice.h"

#include "ui/framework/wnd.h"
#include "ui/gs/gsview.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace hostui {

// The device's pixels over its window: a child that paints the views whenever the
// window is painted (also when its picture is taken), passing the mouse to the window.
class GsSurface : public QWidget {
public:
    GsSurface(QWidget* window, const AcGsDevice& device) : QWidget(window), m_device(device) {
        setObjectName(QStringLiteral("hostui.gs"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        // Lines stay one crisp pixel: the picture is often reduced to a few colours.
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (const AcGsView* view : m_device.views()) view->draw(painter, size(), qRgb(0, 0, 0));
    }

private:
    const AcGsDevice& m_device;
};

}  // namespace hostui

AcGsDevice::AcGsDevice(HWND window) : m_window(window) {
    if (window) m_surface = new hostui::GsSurface(window, *this);
}

AcGsDevice::~AcGsDevice() {
    for (AcGsView* view : m_views) view->setDevice(nullptr);
    delete m_surface.data();
}

void AcGsDevice::onSize(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    if (m_surface) m_surface->setGeometry(0, 0, m_width, m_height);
}

bool AcGsDevice::add(AcGsView* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return false;
    if (AcGsDevice* other = view->device()) other->erase(view);
    m_views.push_back(view);
    view->setDevice(this);
    invalidate();
    return true;
}

bool AcGsDevice::erase(AcGsView* view) {
    const auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return false;
    m_views.erase(it);
    view->setDevice(nullptr);
    invalidate();
    return true;
}

void AcGsDevice::invalidate() { update(); }

void AcGsDevice::update() {
    // While the window paints, the surface is painted after it in the same pass; asking
    // for a paint now would paint it for ever.
    if (m_surface && !hostui::PaintRequest::painting(m_window.data())) m_surface->update();
}
