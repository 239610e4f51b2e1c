#pragma once

#include "ui/render/renderercontext.h"

#include "db/foreigndata.h"

namespace hostui::render {

// A hatch from its groups: the boundary paths (polylines and edges: lines, arcs,
// elliptic arcs, splines), filled solid, or its pattern lines clipped to the
// boundary by the odd-even rule (islands stay empty).
void drawHatch(RenderContext& rc, const Placement& at, const hostdb::FilerItems& items, QRgb color);

// One family of parallel pattern lines in the hatch's plane: through base, repeated by
// offset, dashed by dashes (positive a dash, negative a gap, 0 a dot); empty dashes
// mean a continuous line.
struct PatternLine {
    double angle = 0;  // radians
    QPointF base;
    QPointF offset;
    std::vector<double> dashes;
};

// The pieces of the pattern lines inside the rings, two points a piece, and the dots.
// At most maxLines lines per family are laid; a family that needs more is left out.
void clipPattern(const std::vector<std::vector<QPointF>>& rings, const std::vector<PatternLine>& pattern,
                 std::vector<QPointF>& pieces, std::vector<QPointF>& dots, int maxLines = 20000);

}  // namespace hostui::render
