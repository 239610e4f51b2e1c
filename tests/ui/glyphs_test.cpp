// Glyphs for every script: the fonts the drawing view and the windows draw with take each
// glyph they lack from a font that has it (the install script's CJK font among them), so
// no text shows as boxes.

#include "ui/framework/dialogbuilder.h"
#include "ui/render/textmetrics.h"

#include <QGlyphRun>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// Glyphs of the laid-out text that no font had: glyph 0, the box.
int missingGlyphs(const QFont& font, const QString& text) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int missing = 0;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (const quint32 glyph : run.glyphIndexes()) missing += glyph == 0 ? 1 : 0;
    return missing;
}

TEST(Glyphs, EveryScriptIsDrawnInTheDrawingsAndTheWindowsFonts) {
    const struct {
        const char* name;
        QFont font;
    } fonts[] = {
        {"a drawing's text", hostui::fontMeasures(QString()).font},
        {"a drawing's TrueType style", hostui::fontMeasures(hostui::familyForFontFile("arial.ttf")).font},
        {"the dialog templates'", hostui::templateFont(L"Tahoma", 8)},
    };
    const QString texts[] = {QStringLiteral("été Straße"), QStringLiteral("Ωμέγα"), QStringLiteral("Привет"),
                             QStringLiteral("项目 北京"), QStringLiteral("プロジェクト"), QStringLiteral("프로젝트")};
    for (const auto& f : fonts) {
        for (const QString& text : texts) EXPECT_EQ(missingGlyphs(f.font, text), 0) << f.name << ": " << text.toStdString();
        // What a box looks like to this check: a private-use character no font has.
        EXPECT_EQ(missingGlyphs(f.font, QStringLiteral("\uE000")), 1) << f.name;
    }
}

}  // namespace
