#pragma once

#include <QPointF>
#include <QRgb>
#include <QString>

#include <span>
#include <vector>

namespace hostui {

// A stroke's look. width is in drawing units; 0 draws the thinnest line the surface has.
struct Stroke {
    QRgb color = 0xFFFFFFFF;
    double width = 0.0;
};

// One run of text in one font, placed in drawing units. The anchor is the point the
// alignment refers to; the run is turned by rotation (radians, counter-clockwise) about
// it. height is the height of a capital letter; widthFactor stretches along the
// baseline; oblique slants the glyphs (radians, positive to the right).
struct TextRun {
    enum class HAlign { Left, Center, Right };
    enum class VAlign { Baseline, Bottom, Middle, Top };
    QString text;
    QString family;
    QPointF anchor;
    double height = 1.0;
    double widthFactor = 1.0;
    double rotation = 0.0;
    double oblique = 0.0;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Baseline;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool mirrored = false;  // drawn backwards (mirrored about the glyphs' vertical axis)
    QRgb color = 0xFFFFFFFF;
};

// What the renderer draws on: a handful of primitives in drawing (world XY) units, in
// drawing order, each already in its final colour. A surface may draw them at once
// (a QImage) or keep them (the view's display list); it never sees an entity.
class GraphicsSink {
public:
    virtual ~GraphicsSink() = default;
    // Consecutive points joined; closed joins the last back to the first.
    virtual void polyline(std::span<const QPointF> points, bool closed, const Stroke& stroke) = 0;
    // Separate segments: points taken two by two.
    virtual void segments(std::span<const QPointF> points, const Stroke& stroke) = 0;
    // The area inside the rings by the odd-even rule (a ring inside a ring is a hole).
    virtual void fill(std::span<const std::vector<QPointF>> rings, QRgb color) = 0;
    virtual void text(const TextRun& run) = 0;
    // A point entity: one dot, whatever the zoom.
    virtual void point(QPointF at, QRgb color) = 0;
};

}  // namespace hostui
