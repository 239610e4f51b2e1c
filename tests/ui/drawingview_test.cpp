#include "rendertesting.h"

#include "db/blockreference.h"
#include "db/curves.h"
#include "db/field.h"
#include "db/mtext.h"
#include "db/text.h"

#include "ui/render/displaylist.h"
#include "ui/render/drawingview.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using hostui::DrawingView;

constexpr double kPixelTolerance = 1e-6;

void expectNear(const QPointF& a, const QPointF& b, double tol = kPixelTolerance) {
    EXPECT_NEAR(a.x(), b.x(), tol);
    EXPECT_NEAR(a.y(), b.y(), tol);
}

void wheel(DrawingView& view, QPoint at, int delta) {
    QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &event);
}

// A view of 400 x 300 over a drawing of one line from (-100,-50) to (100,50).
class ViewTest : public testing::Test {
protected:
    void SetUp() override {
        appendToModel(db, new AcDbLine({-100, -50, 0}, {100, 50, 0}));
        view.resize(400, 300);
        view.show();
        view.setDatabase(&db);
        QObject::connect(&view, &DrawingView::pointClicked, [this](const AcGePoint3d& p) { clicks.push_back(p); });
        QObject::connect(&view, &DrawingView::rectangleDragged,
                         [this](const AcGePoint3d& a, const AcGePoint3d& b) { drags.emplace_back(a, b); });
    }
    QPointF drawingAt(QPoint pixel) const {
        const AcGePoint3d p = view.toDrawing(pixel);
        return {p.x, p.y};
    }

    AcDbDatabase db;
    DrawingView view;
    std::vector<AcGePoint3d> clicks;
    std::vector<std::pair<AcGePoint3d, AcGePoint3d>> drags;
};

TEST_F(ViewTest, ZoomExtentsFitsTheDrawing) {
    const QPointF a = view.toPixel({-100, -50, 0}), b = view.toPixel({100, 50, 0});
    EXPECT_TRUE(QRectF(view.rect()).contains(a));
    EXPECT_TRUE(QRectF(view.rect()).contains(b));
    // The width limits (200 x 100 into 400 x 300): it spans the view less the margins.
    EXPECT_GT(b.x() - a.x(), 0.9 * view.width());
    expectNear((a + b) / 2, QPointF(200, 150), 0.5);
    EXPECT_EQ(view.entityCount(), 1);
}

TEST_F(ViewTest, PixelAndDrawingPointsRoundTripUnderPanAndZoom) {
    const QPoint cursor(120, 90);
    const QPointF under = drawingAt(cursor);
    const double before = view.unitsPerPixel();
    wheel(view, cursor, 240);
    EXPECT_LT(view.unitsPerPixel(), 0.8 * before) << "the wheel forward zooms in";
    expectNear(drawingAt(cursor), under, 1e-9);  // the point under the cursor stays

    QTest::mousePress(&view, Qt::MiddleButton, {}, QPoint(200, 150));
    const QPointF grabbed = drawingAt(QPoint(200, 150));
    QTest::mouseMove(&view, QPoint(230, 170));
    QTest::mouseMove(&view, QPoint(260, 190));
    QTest::mouseRelease(&view, Qt::MiddleButton, {}, QPoint(260, 190));
    expectNear(drawingAt(QPoint(260, 190)), grabbed, 1e-9);  // the drawing moved with the mouse
    EXPECT_TRUE(clicks.empty());
    EXPECT_TRUE(drags.empty());

    for (const QPointF pixel : {QPointF(0, 0), QPointF(399.5, 0.25), QPointF(17, 280)}) {
        const AcGePoint3d p = view.toDrawing(pixel);
        expectNear(view.toPixel(p), pixel, 1e-6);
    }
}

TEST_F(ViewTest, ClicksAndDragsEmitTheirSignals) {
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(50, 60));
    ASSERT_EQ(clicks.size(), 1u);
    expectNear({clicks[0].x, clicks[0].y}, drawingAt(QPoint(50, 60)));

    // A press that wanders less than the slop is still a click.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&view, QPoint(102, 101));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(102, 101));
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_TRUE(drags.empty());

    // Right to left: the corners come in press, release order.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(300, 200));
    QTest::mouseMove(&view, QPoint(200, 150));
    QTest::mouseMove(&view, QPoint(100, 50));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(100, 50));
    ASSERT_EQ(drags.size(), 1u);
    expectNear({drags[0].first.x, drags[0].first.y}, drawingAt(QPoint(300, 200)));
    expectNear({drags[0].second.x, drags[0].second.y}, drawingAt(QPoint(100, 50)));
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(ViewTest, RubberBandShowsWindowAndCrossingApart) {
    auto fillAt = [&](QPoint from, QPoint to, QPoint probe) {
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        QTest::mouseMove(&view, to);
        const QImage shot = view.grab().toImage();
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
        return shot.pixelColor(probe);
    };
    const QColor background = DrawingView::backgroundColor();
    // Left to right, a window: outlined only. Right to left, a crossing: lightly filled.
    EXPECT_EQ(fillAt({20, 20}, {120, 100}, {70, 30}), background);
    const QColor crossing = fillAt({120, 100}, {20, 20}, {70, 30});
    EXPECT_NE(crossing, background);
    EXPECT_GT(crossing.green(), background.green());
    const QImage after = view.grab().toImage();
    EXPECT_EQ(after.pixelColor(70, 30), background) << "the band is gone once released";
}

TEST_F(ViewTest, TransientsAreDrawnOverTheDrawing) {
    AcDbLine jig({-100, 50, 0}, {100, 50, 0});
    view.setTransients({&jig});
    const QPointF mid = view.toPixel({0, 50, 0});
    const QImage shot = view.grab().toImage();
    EXPECT_NE(shot.pixelColor(mid.toPoint()), DrawingView::backgroundColor());
    view.setTransients({});
    EXPECT_EQ(view.grab().toImage().pixelColor(mid.toPoint()), DrawingView::backgroundColor());
}

// A change that reaches far beyond the window (a point typed as 1e300) repaints the
// window's part of it, no more.
TEST_F(ViewTest, AChangeFarBeyondTheWindowRepaintsWhatShows) {
    (void)view.grab();
    for (const double far : {1e9, 1e300}) {
        appendToModel(db, new AcDbLine({0, 50, 0}, {far, 50, 0}));
        view.applyChanges();
    }
    const QImage picture = view.grab().toImage();
    const QPoint onTheLine = view.toPixel(AcGePoint3d(60, 50, 0)).toPoint();
    EXPECT_NE(picture.pixel(onTheLine), picture.pixel(5, 5));
}

TEST(ViewTexts, EveryTextAsDisplayedInDrawingOrder) {
    AcDbDatabase db;
    db.setCustomProperties({{L"Title", L"Bridge"}});
    appendToModel(db, new AcDbText({0, 0, 0}, L"45%%d", AcDbObjectId::kNull, 2.5));
    auto* m = new AcDbMText();
    m->setContents(L"{\\fArial;Big}\\PSecond\\~line \\C1;red");
    appendToModel(db, m);
    const AcDbObjectId fieldText = appendToModel(db, new AcDbMText());
    {
        AcDbMText* open = nullptr;
        ASSERT_EQ(acdbOpenObject(open, fieldText, AcDb::kForWrite), Acad::eOk);
        AcDbObjectId fieldId;
        ASSERT_EQ(open->setField(L"TEXT", new AcDbField(L"%<\\AcVar CustomDP.Title>%"), fieldId), Acad::eOk);
        AcDbField* field = nullptr;
        ASSERT_EQ(acdbOpenObject(field, fieldId, AcDb::kForWrite), Acad::eOk);
        field->evaluate(0, &db);
        field->close();
        open->close();
    }
    const AcDbObjectId block = addBlock(db, L"Tag");
    appendTo(block, new AcDbText({0, 0, 0}, L"inside", AcDbObjectId::kNull, 1));
    // A definition's attribute template shows through the reference only as its attribute.
    appendTo(block, new AcDbAttributeDefinition({0, -2, 0}, L"default", L"NO", L"Number?"));
    auto* ref = new AcDbBlockReference({10, 10, 0}, block);
    auto* attribute = new AcDbAttribute();
    attribute->setTag(L"NO");
    attribute->setTextString(L"A-1");
    attribute->setHeight(1);
    ref->appendAttribute(attribute);
    appendToModel(db, ref);
    // On its own, a template shows its tag.
    appendToModel(db, new AcDbAttributeDefinition({0, 5, 0}, L"default", L"LOOSE", L"Loose?"));

    DrawingView view;
    view.resize(200, 100);
    view.setDatabase(&db);
    EXPECT_EQ(view.entityCount(), 5);
    const std::vector<std::wstring> expected{L"45\u00B0", L"Big\nSecond line red", L"Bridge", L"inside", L"A-1",
                                             L"LOOSE"};
    EXPECT_EQ(view.displayedTexts(), expected);
}

// A sink that notes which polylines reach it, by their first x.
class Recorder : public hostui::GraphicsSink {
public:
    void polyline(std::span<const QPointF> points, bool, const hostui::Stroke&) override { seen.push_back(points[0].x()); }
    void segments(std::span<const QPointF> points, const hostui::Stroke&) override { seen.push_back(points[0].x()); }
    void fill(std::span<const std::vector<QPointF>>, QRgb) override {}
    void text(const hostui::TextRun&) override {}
    void point(QPointF, QRgb) override {}
    std::vector<double> seen;
};

TEST(DisplayList, AWindowGetsWhatItMeetsInDrawingOrder) {
    hostui::DisplayList list;
    // A long line first, then a 100 x 100 field of short ones.
    const QPointF wide[2] = {{-1000, 50}, {1000, 50}};
    list.segments(wide, {});
    for (int i = 0; i < 100; ++i)
        for (int j = 0; j < 100; ++j) {
            const QPointF p[2] = {{i * 10.0, j * 10.0}, {i * 10.0 + 1, j * 10.0}};
            list.polyline(p, false, {});
        }
    list.finish();
    Recorder recorder;
    list.replay(recorder, QRectF(QPointF(195, 45), QPointF(225, 55)));
    // The long line, then the short ones at x = 200, 210, 220 on row y = 50.
    EXPECT_EQ(recorder.seen, (std::vector<double>{-1000, 200, 210, 220}));
    recorder.seen.clear();
    list.replay(recorder, QRectF(QPointF(5000, 5000), QPointF(6000, 6000)));
    EXPECT_TRUE(recorder.seen.empty());
    recorder.seen.clear();
    list.replay(recorder, QRectF(QPointF(-10, -10), QPointF(2000, 2000)));
    EXPECT_EQ(recorder.seen.size(), 10001u);
}

}  // namespace
