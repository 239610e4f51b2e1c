#include "ui/render/textmetrics.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>

#include <memory>

namespace hostui {

namespace {
// Large enough that rounding in the font engine does not show when scaled down.
constexpr int kReferencePixels = 100;
}

const FontMeasures& fontMeasures(const QString& family) {
    static QHash<QString, std::shared_ptr<FontMeasures>> cache;
    if (const auto it = cache.constFind(family); it != cache.constEnd()) return **it;
    auto m = std::make_shared<FontMeasures>();
    m->font = QFont(family.isEmpty() ? QStringLiteral("DejaVu Sans") : family);
    m->font.setPixelSize(kReferencePixels);
    m->font.setStyleStrategy(QFont::PreferOutline);
    const QFontMetricsF metrics(m->font);
    m->capHeight = metrics.capHeight() > 1 ? metrics.capHeight() : metrics.ascent() * 0.72;
    m->descent = metrics.descent() / m->capHeight;
    cache.insert(family, m);
    return *m;
}

double textAdvance(const QString& family, const QString& text) {
    const FontMeasures& m = fontMeasures(family);
    return QFontMetricsF(m.font).horizontalAdvance(text) / m.capHeight;
}

QString familyForFontFile(const QString& fileName) {
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("ttf") || suffix == QLatin1String("otf") || suffix == QLatin1String("ttc")) {
        QString base = info.completeBaseName();
        if (!base.isEmpty()) base[0] = base[0].toUpper();
        return base;
    }
    if (!fileName.isEmpty() && suffix.isEmpty() && !fileName.contains(QLatin1Char('.')) &&
        fileName.compare(QLatin1String("txt"), Qt::CaseInsensitive) != 0)
        return fileName;  // a family named directly, as MText's \f does
    return QStringLiteral("DejaVu Sans");
}

}  // namespace hostui
