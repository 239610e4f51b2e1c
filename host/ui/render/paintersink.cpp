#include "ui/render/paintersink.h"

#include "ui/render/textmetrics.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hostui {

namespace {
// Below this height in pixels a text is a line: glyphs would be an unreadable smudge
// and cost far more than the line.
constexpr double kSmallestReadableText = 4.0;
}

ViewMapping ViewMapping::fit(const QRectF& box, const QRectF& area, double margin) {
    ViewMapping m;
    const double w = std::max(box.width(), 1e-9), h = std::max(box.height(), 1e-9);
    // Pixel centres: a pixel's ink lands on the pixel whose centre the point is nearest,
    // so the last row and column are reached at size - 1.
    const double aw = std::max(area.width() - 1 - 2 * margin, 1.0), ah = std::max(area.height() - 1 - 2 * margin, 1.0);
    m.scale = std::min(aw / w, ah / h);
    if (box.width() <= 0 && box.height() <= 0) m.scale = 1.0;
    const QPointF c = box.center();
    m.originX = area.center().x() - c.x() * m.scale;
    m.originY = area.center().y() + c.y() * m.scale;
    return m;
}

PainterSink::PainterSink(QPainter& painter, const ViewMapping& mapping)
    : m_painter(painter), m_mapping(mapping), m_antialiasText(true) {
    m_painter.setBrush(Qt::NoBrush);
}

void PainterSink::usePen(const Stroke& stroke) {
    if (stroke.color == m_pen.color && stroke.width == m_pen.width) return;
    m_pen = stroke;
    const double px = stroke.width * m_mapping.scale;
    QPen pen(QColor::fromRgba(stroke.color), px >= 1.5 ? px : 0.0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
}

void PainterSink::map(std::span<const QPointF> points) {
    m_pixels.resize(points.size());
    const double s = m_mapping.scale, ox = m_mapping.originX, oy = m_mapping.originY;
    for (std::size_t i = 0; i < points.size(); ++i) m_pixels[i] = {ox + points[i].x() * s, oy - points[i].y() * s};
}

void PainterSink::polyline(std::span<const QPointF> points, bool closed, const Stroke& stroke) {
    usePen(stroke);
    map(points);
    if (closed && !m_pixels.empty()) m_pixels.push_back(m_pixels.front());
    m_painter.drawPolyline(m_pixels.data(), static_cast<int>(m_pixels.size()));
}

void PainterSink::segments(std::span<const QPointF> points, const Stroke& stroke) {
    usePen(stroke);
    map(points);
    m_painter.drawLines(m_pixels.data(), static_cast<int>(m_pixels.size() / 2));
}

void PainterSink::fill(std::span<const std::vector<QPointF>> rings, QRgb color) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& ring : rings) {
        map(ring);
        path.addPolygon(QPolygonF(QList<QPointF>(m_pixels.begin(), m_pixels.end())));
        path.closeSubpath();
    }
    m_painter.fillPath(path, QColor::fromRgba(color));
}

void PainterSink::point(QPointF at, QRgb color) {
    usePen({color, 0.0});
    m_painter.drawPoint(m_mapping.toPixel(at));
}

void PainterSink::text(const TextRun& run) {
    const double heightPx = run.height * m_mapping.scale;
    if (heightPx <= 0 || run.text.isEmpty()) return;
    const FontMeasures& font = fontMeasures(run.family);
    const double advance = textAdvance(run.family, run.text) * heightPx * run.widthFactor;
    double dx = 0, dy = 0;
    switch (run.hAlign) {
        case TextRun::HAlign::Left: break;
        case TextRun::HAlign::Center: dx = -advance / 2; break;
        case TextRun::HAlign::Right: dx = -advance; break;
    }
    switch (run.vAlign) {
        case TextRun::VAlign::Baseline: break;
        case TextRun::VAlign::Bottom: dy = -font.descent * heightPx; break;
        case TextRun::VAlign::Middle: dy = heightPx / 2; break;
        case TextRun::VAlign::Top: dy = heightPx; break;
    }
    const QPointF anchor = m_mapping.toPixel(run.anchor);
    const double angle = -run.rotation * 180.0 / std::numbers::pi;
    if (heightPx < kSmallestReadableText) {
        usePen({run.color, 0.0});
        const double c = std::cos(run.rotation), s = -std::sin(run.rotation);
        const QPointF along(c, s), down(-s, c);
        const QPointF start = anchor + along * dx + down * (dy - heightPx / 2);
        m_painter.drawLine(start, start + along * std::max(advance, 1.0));
        return;
    }
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, m_antialiasText);
    m_painter.setRenderHint(QPainter::TextAntialiasing, m_antialiasText);
    m_painter.translate(anchor);
    m_painter.rotate(angle);
    m_painter.translate(dx, dy);
    const double scale = heightPx / font.capHeight;
    QTransform glyphs;
    glyphs.scale(scale * run.widthFactor * (run.mirrored ? -1 : 1), scale);
    if (run.oblique != 0) glyphs.shear(-std::tan(run.oblique), 0);
    if (run.mirrored) m_painter.translate(advance, 0);
    m_painter.setTransform(glyphs, true);
    QFont f = font.font;
    f.setUnderline(run.underline);
    f.setBold(run.bold);
    f.setItalic(run.italic);
    m_painter.setFont(f);
    m_painter.setPen(QColor::fromRgba(run.color));
    m_painter.drawText(QPointF(0, 0), run.text);
    m_painter.restore();
}

}  // namespace hostui
