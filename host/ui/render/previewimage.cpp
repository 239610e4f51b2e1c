#include "ui/render/previewimage.h"

#include "db/database.h"
#include "ui/render/dib.h"
#include "ui/render/displaylist.h"
#include "ui/render/entityrenderer.h"
#include "ui/render/paintersink.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace hostui {
namespace {
constexpr int kWidth = 256, kHeight = 160, kNarrowest = 32;
// Pixels kept free around the drawing.
constexpr double kMargin = 3.0;
}  // namespace

QSize drawingPreviewSize(const QRectF& extents) {
    const double w = extents.width(), h = extents.height();
    if (!(w > 0) && !(h > 0)) return {kWidth, kHeight};
    const auto side = [](double length) { return std::clamp(static_cast<int>(std::lround(length)), kNarrowest, kWidth); };
    if (w * kHeight >= h * kWidth) return {kWidth, std::min(side(kWidth * h / w), kHeight)};
    return {side(kHeight * w / h), kHeight};
}

QImage renderDrawingPreview(AcDbDatabase& db) {
    DisplayList list;
    if (!db.modelSpaceId().isNull()) {
        EntityRenderer renderer(&db, list, qRgb(255, 255, 255));
        renderer.drawBlockContents(db.modelSpaceId());
    }
    const QRectF extents = list.size() ? list.bounds() : QRectF();
    QImage image(drawingPreviewSize(extents), QImage::Format_RGB32);
    image.fill(Qt::black);
    if (list.size() == 0) return image;
    QPainter painter(&image);
    // Lines without blending keep to the drawing's own colours, which the bitmap's
    // table of 256 then holds exactly.
    painter.setRenderHint(QPainter::Antialiasing, false);
    PainterSink sink(painter, ViewMapping::fit(extents, QRectF(QPointF(0, 0), QSizeF(image.size())), kMargin));
    list.replayAll(sink);
    return image;
}

std::vector<std::uint8_t> drawingPreviewBytes(const AcDbDatabase& db) {
    // The renderer opens entities for read only; it takes a database it may open them in.
    return encodeDib(renderDrawingPreview(const_cast<AcDbDatabase&>(db)));
}

}  // namespace hostui
