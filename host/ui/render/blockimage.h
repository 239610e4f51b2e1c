#pragma once

#include "db/objectid.h"

#include <QColor>
#include <QImage>
#include <QSize>

class AcDbDatabase;

namespace hostui {

struct RenderOptions {
    QColor background = QColor(33, 40, 48);
    // Palette index 7 is drawn black when the background is light (the usual look of a
    // block icon on a white list), else white.
    bool blackOnLight = true;
    bool antialias = true;
    // Pixels kept free around the drawing.
    double margin = 1.0;
};

// The colour index 7 stands for on this background under these options.
QRgb foregroundFor(const RenderOptions& options);

// A picture of a block record's entities (a block definition, model space, a layout)
// fitted into the image and centred; a block with nothing to draw gives the background
// alone. The same renderer as the drawing view.
QImage renderBlockImage(AcDbDatabase& db, AcDbObjectId blockRecordId, QSize size, const RenderOptions& options = {});

}  // namespace hostui
