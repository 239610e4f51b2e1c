#pragma once

#include "ui/render/renderercontext.h"

#include <vector>

namespace hostui::render {

// A polyline vertex in its plane's own coordinates (z the elevation): the bulge and
// widths belong to the segment that starts here.
struct BulgeVertex {
    AcGePoint3d point;
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
};

// Draws a polyline with arc segments (bulge = tan(sweep / 4)) in the plane of normal;
// segments with a width are drawn as filled bands, the rest as thin lines.
void drawBulgePolyline(RenderContext& rc, const std::vector<BulgeVertex>& vertices, bool closed,
                       const AcGeVector3d& normal, const Placement& at, QRgb color);

}  // namespace hostui::render
