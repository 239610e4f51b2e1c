#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

#include <cstdint>
#include <vector>

class AcDbDatabase;

namespace hostui {

// The picture a saved drawing carries as its preview: model space fitted into the
// image, entities in their colours on black, as previews of drawings look. The image
// takes the aspect of the drawing's extents within 256 x 160 pixels, never narrower
// than 32 on either side; an empty drawing gives a black 256 x 160 picture.
QSize drawingPreviewSize(const QRectF& extents);
QImage renderDrawingPreview(AcDbDatabase& db);

// The preview as the bytes the drawing file stores (an 8-bit bitmap): the preview
// maker marvolt-host hands the file writer (hostdxf::setDrawingPreviewMaker).
std::vector<std::uint8_t> drawingPreviewBytes(const AcDbDatabase& db);

}  // namespace hostui
