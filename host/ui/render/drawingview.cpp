#include "ui/render/drawingview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace hostui {

namespace {
// A press that moves less than this is still a click.
constexpr int clickSlopPixels = 4;
}

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(false);
}

DrawingView::~DrawingView() = default;

void DrawingView::setDatabase(AcDbDatabase* db) {
    m_db = db;
    regen();
    zoomExtents();
}

void DrawingView::regen() { update(); }

void DrawingView::zoomExtents() {
    m_center = AcGePoint3d(0, 0, 0);
    m_unitsPerPixel = 1.0;
    update();
}

AcGePoint3d DrawingView::toDrawing(QPointF pixel) const {
    return {m_center.x + (pixel.x() - width() / 2.0) * m_unitsPerPixel,
            m_center.y - (pixel.y() - height() / 2.0) * m_unitsPerPixel, 0.0};
}

QPointF DrawingView::toPixel(const AcGePoint3d& point) const {
    return {width() / 2.0 + (point.x - m_center.x) / m_unitsPerPixel,
            height() / 2.0 - (point.y - m_center.y) / m_unitsPerPixel};
}

void DrawingView::setTransients(std::vector<const AcDbEntity*> entities) {
    m_transients = std::move(entities);
    update();
}

int DrawingView::entityCount() const { return 0; }

std::vector<std::wstring> DrawingView::displayedTexts() const { return {}; }

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(33, 40, 48));
}

void DrawingView::resizeEvent(QResizeEvent*) { update(); }

void DrawingView::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button();
    m_pressPixel = m_lastPixel = event->position().toPoint();
    m_rubberBand = false;
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_pressed == Qt::MiddleButton) {
        const QPoint delta = at - m_lastPixel;
        m_center.x -= delta.x() * m_unitsPerPixel;
        m_center.y += delta.y() * m_unitsPerPixel;
        update();
    } else if (m_pressed == Qt::LeftButton && (at - m_pressPixel).manhattanLength() > clickSlopPixels) {
        m_rubberBand = true;
        update();
    }
    m_lastPixel = at;
    emit cursorMoved(toDrawing(at));
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_pressed == Qt::LeftButton && event->button() == Qt::LeftButton) {
        if (m_rubberBand) emit rectangleDragged(toDrawing(m_pressPixel), toDrawing(at));
        else emit pointClicked(toDrawing(at));
    }
    m_pressed = Qt::NoButton;
    m_rubberBand = false;
    update();
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    const QPointF at = event->position();
    const AcGePoint3d before = toDrawing(at);
    const double factor = std::pow(1.0015, -event->angleDelta().y());
    m_unitsPerPixel *= factor;
    const AcGePoint3d after = toDrawing(at);
    m_center.x += before.x - after.x;
    m_center.y += before.y - after.y;
    update();
}

}  // namespace hostui
