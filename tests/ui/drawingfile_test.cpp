// The renderer on a drawing written by ezdxf (make_render_drawing.py): every entity kind
// as another program stores it, each in its own 50-unit cell.

#include "db/database.h"

#include "ui/render/drawingview.h"

#include "rendertesting.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using hostui::DrawingView;

class DrawingFile : public testing::Test {
protected:
    static void SetUpTestSuite() {
        db = new AcDbDatabase(false);
        ASSERT_EQ(db->readDwgFile(QString::fromUtf8(MARVOLT_RENDER_DRAWING).toStdWString().c_str()), Acad::eOk);
        view = new DrawingView();
        view->resize(1200, 800);
        view->setDatabase(db);
        image = new QImage(view->size(), QImage::Format_ARGB32);
        QPainter painter(image);
        view->paintDrawing(painter);
        painter.end();
        rendertest::keep(*image, QStringLiteral("DrawingFile"));
    }
    static void TearDownTestSuite() {
        delete image;
        delete view;
        delete db;
    }

    // The colour found within two pixels of the drawing point that is not the background.
    static QColor inkNear(double x, double y, int reach = 2) {
        const QPoint c = view->toPixel({x, y, 0}).toPoint();
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const QPoint p = c + QPoint(dx, dy);
                if (image->rect().contains(p) && image->pixelColor(p) != DrawingView::backgroundColor())
                    return image->pixelColor(p);
            }
        return {};
    }
    static bool inked(double x, double y, int reach = 2) { return inkNear(x, y, reach).isValid(); }

    static AcDbDatabase* db;
    static DrawingView* view;
    static QImage* image;
};

AcDbDatabase* DrawingFile::db = nullptr;
DrawingView* DrawingFile::view = nullptr;
QImage* DrawingFile::image = nullptr;

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kYellow(255, 255, 0);

TEST_F(DrawingFile, CurvesLandWhereTheyAre) {
    EXPECT_EQ(inkNear(20, 20), kRed) << "line on a red layer";
    EXPECT_TRUE(inked(85, 20)) << "circle rim";
    EXPECT_FALSE(inked(70, 20, 1)) << "circle centre";
    EXPECT_EQ(inkNear(70, 28), QColor(0, 255, 255)) << "arc of colour 4, upper half";
    EXPECT_FALSE(inked(70, 12, 1)) << "not its lower half";
    EXPECT_TRUE(inked(170, 0)) << "old-style polyline's arc, below its chord";
    EXPECT_TRUE(inked(288, 20)) << "ellipse's end of its major axis";
    EXPECT_FALSE(inked(270, 20, 1)) << "ellipse's centre";
}

TEST_F(DrawingFile, AreasAreFilledOrHatched) {
    EXPECT_EQ(inkNear(20, 70), kRed) << "solid hatch interior";
    EXPECT_EQ(inkNear(120, 70), kBlue) << "solid";
    EXPECT_TRUE(inked(150, 50)) << "3D face edge";
    EXPECT_FALSE(inked(170, 70, 1)) << "3D face interior";
    // The pattern half disc: some of its inside inked, nothing above its arc.
    int inside = 0;
    for (double x = 55; x < 85; x += 1) inside += inked(x, 60, 0) ? 1 : 0;
    EXPECT_GT(inside, 2);
    EXPECT_FALSE(inked(52, 85, 1));
    EXPECT_FALSE(inked(88, 85, 1));
}

TEST_F(DrawingFile, FrozenAndOffLayersAreNotDrawn) {
    EXPECT_TRUE(inked(220, 70)) << "the point";
    EXPECT_FALSE(inked(205, 55, 1));
    EXPECT_FALSE(inked(235, 55, 1));
}

TEST_F(DrawingFile, ReferencesDimensionsAndLeaders) {
    // TAG turned a quarter and doubled at (20, 180): its line runs up from (20, 170) to (20, 190).
    EXPECT_EQ(inkNear(20, 186), kRed) << "ByBlock takes the reference's colour";
    // The 2 x 2 grid of TAG at (58, 158) spaced 24.
    for (const auto& [x, y] : {std::pair{58.0, 158.0}, {82.0, 158.0}, {58.0, 182.0}, {82.0, 182.0}})
        EXPECT_EQ(inkNear(x + 5, y), kGreen) << x << ", " << y;
    EXPECT_EQ(inkNear(120, 180), kYellow) << "dimension line from its geometry block";
    EXPECT_TRUE(inked(160, 165)) << "leader";
}

TEST_F(DrawingFile, TextsAreShownWithoutTheirCodes) {
    const std::vector<std::wstring> texts = view->displayedTexts();
    auto has = [&](const std::wstring& t) { return std::find(texts.begin(), texts.end(), t) != texts.end(); };
    EXPECT_TRUE(has(L"Plain 45\u00B0"));
    EXPECT_TRUE(has(L"MID"));
    EXPECT_TRUE(has(L"Bold\nNext line red \u230020"));
    EXPECT_TRUE(has(L"A-17"));
    EXPECT_TRUE(has(L"4000")) << "the dimension's text, in its style's units";
    for (const auto& t : texts) EXPECT_EQ(t.find(L'\\'), std::wstring::npos) << "a code shown in " << testing::PrintToString(t);
    EXPECT_TRUE(inked(15, 122)) << "the plain text's glyphs";
}

}  // namespace
