#pragma once

#include <cstdint>
#include <vector>

class AcDbDatabase;

namespace hostdxf {

// Makes the drawing preview that a saved file carries, as the bytes of a
// device-independent bitmap without file header (BITMAPINFOHEADER, colour table,
// bottom-up rows); empty bytes save the drawing without a preview. Drawing needs a
// graphics system, which this layer has none of: a program with windows hands its
// maker over at start-up (setDrawingPreviewMaker).
using DrawingPreviewMaker = std::vector<std::uint8_t> (*)(const AcDbDatabase& db);

// Gives the writer the maker it asks for each saved drawing's preview; null takes it
// away. Without one a drawing is saved with the preview it was read with, so that
// tools without windows keep what they read.
void setDrawingPreviewMaker(DrawingPreviewMaker maker);
DrawingPreviewMaker drawingPreviewMaker();

}  // namespace hostdxf
