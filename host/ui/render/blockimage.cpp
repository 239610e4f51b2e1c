#include "ui/render/blockimage.h"

#include "ui/render/displaylist.h"
#include "ui/render/entityrenderer.h"
#include "ui/render/paintersink.h"

#include <QPainter>

namespace hostui {

QRgb foregroundFor(const RenderOptions& options) {
    return options.blackOnLight && options.background.lightness() > 127 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
}

QImage renderBlockImage(AcDbDatabase& db, AcDbObjectId blockRecordId, QSize size, const RenderOptions& options) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(options.background);
    DisplayList list;
    EntityRenderer renderer(&db, list, foregroundFor(options));
    renderer.drawBlockContents(blockRecordId);
    if (list.size() == 0) return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, options.antialias);
    PainterSink sink(painter, ViewMapping::fit(list.bounds(), QRectF(QPointF(0, 0), QSizeF(size)), options.margin));
    list.replayAll(sink);
    return image;
}

}  // namespace hostui
