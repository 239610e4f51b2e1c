#pragma once

// Drawings built in the test, drawn into images through the renderer, and looks at
// their pixels.

#include "../unit/testdrawing.h"
#include "db/entity.h"
#include "db/foreignentity.h"
#include "ui/render/entityrenderer.h"
#include "ui/render/paintersink.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <string>

namespace rendertest {

inline const QColor kBackground(0, 0, 0);

// An entity kept as persisted data, as the file reader makes it: its own groups filed
// under its class marker.
inline AcDbForeignEntity* foreign(const std::string& kind, const std::string& subclass, hostdb::FilerItems items) {
    auto* e = new AcDbForeignEntity(kind);
    e->foreign().chunk("AcDbEntity");
    e->foreign().chunk(subclass) = std::move(items);
    return e;
}

// The world window [-50, 50] x [-50, 50] drawn into a 200 x 200 image: 2 pixels a unit.
inline hostui::ViewMapping standardMapping() { return {2.0, 100.0, 100.0}; }

inline QImage renderSpace(AcDbDatabase& db, QRgb foreground = qRgb(255, 255, 255),
                          const QColor& background = kBackground) {
    QImage image(200, 200, QImage::Format_ARGB32);
    image.fill(background);
    QPainter painter(&image);
    hostui::PainterSink sink(painter, standardMapping());
    hostui::EntityRenderer renderer(&db, sink, foreground);
    renderer.drawBlockContents(db.modelSpaceId());
    return image;
}

inline QPoint pixelOf(double x, double y) {
    const QPointF p = standardMapping().toPixel({x, y});
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

// Whether any pixel within reach of the world point differs from the background.
inline bool inked(const QImage& image, double x, double y, int reach = 1, const QColor& background = kBackground) {
    const QPoint c = pixelOf(x, y);
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint p = c + QPoint(dx, dy);
            if (image.rect().contains(p) && image.pixelColor(p) != background) return true;
        }
    return false;
}

// The colour found within reach of the world point that is not the background.
inline QColor inkAt(const QImage& image, double x, double y, int reach = 1) {
    const QPoint c = pixelOf(x, y);
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint p = c + QPoint(dx, dy);
            if (image.rect().contains(p) && image.pixelColor(p) != kBackground) return image.pixelColor(p);
        }
    return kBackground;
}

// The share of inked pixels in a world rectangle.
inline double inkedShare(const QImage& image, double x0, double y0, double x1, double y1) {
    const QPoint a = pixelOf(x0, y1), b = pixelOf(x1, y0);
    int inkedCount = 0, all = 0;
    for (int y = std::max(a.y(), 0); y <= std::min(b.y(), image.height() - 1); ++y)
        for (int x = std::max(a.x(), 0); x <= std::min(b.x(), image.width() - 1); ++x) {
            ++all;
            if (image.pixelColor(x, y) != kBackground) ++inkedCount;
        }
    return all ? static_cast<double>(inkedCount) / all : 0.0;
}

// Pictures kept in the build folder to be looked at; a test writes nothing into the
// source tree, wherever it is started from.
inline void keep(const QImage& image, const QString& name) {
    const QString folder = QStringLiteral(MARVOLT_RENDER_PICTURES);
    QDir().mkpath(folder);
    image.save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

}  // namespace rendertest
