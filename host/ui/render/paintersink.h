#pragma once

#include "ui/render/graphicssink.h"

#include <QPainter>

#include <vector>

namespace hostui {

// Where world coordinates land in pixels: x right, y down, one scale for both axes.
struct ViewMapping {
    double scale = 1.0;  // pixels per drawing unit
    double originX = 0;  // pixel of world x = 0
    double originY = 0;  // pixel of world y = 0
    QPointF toPixel(QPointF world) const { return {originX + world.x() * scale, originY - world.y() * scale}; }
    QPointF toWorld(QPointF pixel) const { return {(pixel.x() - originX) / scale, (originY - pixel.y()) / scale}; }
    // The mapping that shows the box in the area, centred, with margin pixels spare on each side.
    static ViewMapping fit(const QRectF& worldBox, const QRectF& area, double margin);
};

// Paints primitives with a QPainter through a view mapping: on the view, on a QImage.
// Strokes without width are one pixel wide whatever the zoom; text too small to read
// is drawn as a line along its baseline.
class PainterSink : public GraphicsSink {
public:
    PainterSink(QPainter& painter, const ViewMapping& mapping);

    void polyline(std::span<const QPointF> points, bool closed, const Stroke& stroke) override;
    void segments(std::span<const QPointF> points, const Stroke& stroke) override;
    void fill(std::span<const std::vector<QPointF>> rings, QRgb color) override;
    void text(const TextRun& run) override;
    void point(QPointF at, QRgb color) override;

private:
    void usePen(const Stroke& stroke);
    void map(std::span<const QPointF> points);

    QPainter& m_painter;
    ViewMapping m_mapping;
    std::vector<QPointF> m_pixels;
    Stroke m_pen{0, -1.0};
    bool m_antialiasText;
};

}  // namespace hostui
