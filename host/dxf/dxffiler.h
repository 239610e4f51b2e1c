#pragma once

#include "../db/drawingfiler.h"

namespace hostdxf {

// The host's drawing filer: drawings kept as DXF files, saved through a temporary file
// renamed over the old one. A program that reads or saves drawings hands it to the
// database at start-up: hostdb::setDrawingFiler(&hostdxf::dxfFiler()).
hostdb::DrawingFiler& dxfFiler();

}  // namespace hostdxf
