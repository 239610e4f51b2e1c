#pragma once

#include <QFont>
#include <QString>

namespace hostui {

// Font measures for laying out and painting text runs, in units of the capital height
// (the height a drawing gives its texts). Fonts are looked up once per family and kept
// for the life of the program; the GUI thread only.
struct FontMeasures {
    QFont font;             // at the reference pixel size
    double capHeight = 1;   // of font, in pixels
    double descent = 0.2;   // below the baseline, in capital heights
};
const FontMeasures& fontMeasures(const QString& family);
// The advance of the text along its baseline, in capital heights, at width factor 1.
double textAdvance(const QString& family, const QString& text);

// The family that stands in for a text style's font: a TrueType file names its family
// by its file name ("arial.ttf" -> "Arial"); the drawing program's own stroke fonts
// ("txt", "romans.shx") are drawn in a plain sans-serif face.
QString familyForFontFile(const QString& fileName);

}  // namespace hostui
