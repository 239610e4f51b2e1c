#include "rendertesting.h"

#include "db/blockreference.h"
#include "db/curves.h"
#include "db/dimension.h"
#include "db/layertable.h"
#include "db/mtext.h"
#include "db/text.h"

#include "ui/render/aci.h"
#include "ui/render/blockimage.h"

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

namespace {

using namespace rendertest;
using hostdb::FilerItems;

struct Probe {
    double x, y;
    bool ink;
};

struct ShapeCase {
    const char* name;
    std::function<AcDbEntity*()> make;
    std::vector<Probe> probes;
};

// A square boundary path of a hatch, -30..30, as a polyline path.
FilerItems squareHatch(bool solid, FilerItems pattern) {
    FilerItems items{{10, "0"}, {20, "0"}, {30, "0"}, {210, "0"}, {220, "0"}, {230, "1"},
                     {2, solid ? "SOLID" : "ANSI31"}, {70, solid ? "1" : "0"}, {71, "0"}, {91, "1"},
                     {92, "3"}, {72, "0"}, {73, "1"}, {93, "4"},
                     {10, "-30"}, {20, "-30"}, {10, "30"}, {20, "-30"}, {10, "30"}, {20, "30"}, {10, "-30"}, {20, "30"},
                     {97, "0"}, {75, "0"}, {76, "1"}};
    if (!solid) {
        items.insert(items.end(), {{52, "0"}, {41, "1"}, {77, "0"}});
        items.insert(items.end(), pattern.begin(), pattern.end());
    }
    items.insert(items.end(), {{98, "0"}});
    return items;
}

const std::vector<ShapeCase>& shapeCases() {
    static const std::vector<ShapeCase> cases = {
        {"Line", [] { return new AcDbLine({-40, -20, 0}, {40, 20, 0}); }, {{0, 0, true}, {0, 15, false}}},
        {"CircleRimNotCentre", [] { return new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 40); },
         {{40, 0, true}, {0, -40, true}, {28.28, 28.28, true}, {0, 0, false}, {20, 0, false}}},
        {"ArcOnlyItsSweep", [] { return new AcDbArc({0, 0, 0}, 40, 0, std::numbers::pi / 2); },
         {{28.28, 28.28, true}, {-40, 0, false}, {0, -40, false}}},
        {"PolylineBulgeIsAHalfCircleBelow",
         [] {
             auto* p = new AcDbPolyline();
             p->addVertexAt(0, {-40, 0}, 1.0);
             p->addVertexAt(1, {40, 0});
             return p;
         },
         {{0, -40, true}, {0, 40, false}, {0, 0, false}}},
        {"PolylineWidthIsABand",
         [] {
             auto* p = new AcDbPolyline();
             p->addVertexAt(0, {-40, 0}, 0, 10, 10);
             p->addVertexAt(1, {40, 0}, 0, 10, 10);
             return p;
         },
         {{0, 4, true}, {0, -4, true}, {0, 8, false}}},
        {"ClosedPolylineHasItsClosingSide",
         [] {
             auto* p = new AcDbPolyline();
             p->addVertexAt(0, {-30, -30});
             p->addVertexAt(1, {30, -30});
             p->addVertexAt(2, {30, 30});
             p->setClosed(true);
             return p;
         },
         {{0, 0, true}, {-30, 0, false}}},
        {"Point", [] { return new AcDbPoint({10, 10, 0}); }, {{10, 10, true}, {20, 20, false}}},
        {"SolidFilledInCornerOrder",
         [] {
             return foreign("SOLID", "AcDbTrace",
                            {{10, "-30"}, {20, "-30"}, {30, "0"}, {11, "30"}, {21, "-30"}, {31, "0"},
                             {12, "-30"}, {22, "30"}, {32, "0"}, {13, "30"}, {23, "30"}, {33, "0"}});
         },
         {{0, 0, true}, {-25, 0, true}, {25, 0, true}, {40, 0, false}}},
        {"FaceEdgesNotInterior",
         [] {
             return foreign("3DFACE", "AcDbFace",
                            {{10, "-30"}, {20, "-30"}, {30, "0"}, {11, "30"}, {21, "-30"}, {31, "0"},
                             {12, "30"}, {22, "30"}, {32, "0"}, {13, "-30"}, {23, "30"}, {33, "0"}});
         },
         {{0, -30, true}, {-30, 0, true}, {0, 0, false}}},
        {"Ellipse",
         [] {
             return foreign("ELLIPSE", "AcDbEllipse",
                            {{10, "0"}, {20, "0"}, {30, "0"}, {11, "40"}, {21, "0"}, {31, "0"}, {210, "0"},
                             {220, "0"}, {230, "1"}, {40, "0.5"}, {41, "0"}, {42, "6.283185307179586"}});
         },
         {{40, 0, true}, {0, 20, true}, {0, -20, true}, {0, 40, false}, {0, 0, false}}},
        {"SplineThroughItsControlPolygon",
         [] {
             // A quadratic Bezier from (-40,0) over (0,40) to (40,0): its top is at (0,20).
             return foreign("SPLINE", "AcDbSpline",
                            {{70, "8"}, {71, "2"}, {72, "6"}, {73, "3"}, {74, "0"}, {40, "0"}, {40, "0"}, {40, "0"},
                             {40, "1"}, {40, "1"}, {40, "1"}, {10, "-40"}, {20, "0"}, {30, "0"}, {10, "0"},
                             {20, "40"}, {30, "0"}, {10, "40"}, {20, "0"}, {30, "0"}});
         },
         {{0, 20, true}, {-40, 0, true}, {0, 40, false}}},
        {"SolidHatchFillsItsBoundary", [] { return foreign("HATCH", "AcDbHatch", squareHatch(true, {})); },
         {{0, 0, true}, {-25, 25, true}, {40, 0, false}, {0, -40, false}}},
        {"OldStylePolylineWithBulge",
         [] {
             auto* e = foreign("POLYLINE", "AcDb2dPolyline", {{66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "0"}});
             e->followers().push_back({{0, "VERTEX"}, {100, "AcDbVertex"}, {10, "-40"}, {20, "0"}, {30, "0"}, {42, "-1"}});
             e->followers().push_back({{0, "VERTEX"}, {100, "AcDbVertex"}, {10, "40"}, {20, "0"}, {30, "0"}});
             e->followers().push_back({{0, "SEQEND"}});
             return e;
         },
         {{0, 40, true}, {0, -40, false}}},
        {"LeaderWithArrowHead",
         [] {
             auto* l = new AcDbLeader();
             l->appendVertex({-40, 0, 0});
             l->appendVertex({40, 0, 0});
             l->setDimtxt(10);
             return l;
         },
         // The arrow is 10 long and 10/3 wide at its base: ink beside the line at its tip end only.
         {{0, 0, true}, {-32, 1.0, true}, {20, 1.2, false}}},
        {"SplineLeaderIsACurveThroughItsVertices",
         [] {
             auto* l = new AcDbLeader();
             l->appendVertex({-40, 0, 0});
             l->appendVertex({0, 40, 0});
             l->appendVertex({40, 0, 0});
             l->setToSplineLeader();
             l->disableArrowHead();
             return l;
         },
         // Straight, the leader would run through (-20, 20) and (20, 20).
         {{0, 40, true}, {-20, 20, false}, {20, 20, false}}},
    };
    return cases;
}

// Rows are named by their name alone in test output.
void PrintTo(const ShapeCase& row, std::ostream* out) { *out << row.name; }

class Shapes : public testing::TestWithParam<ShapeCase> {};

TEST_P(Shapes, InkWhereTheGeometryIsAndNowhereElse) {
    AcDbDatabase db;
    appendToModel(db, GetParam().make());
    const QImage image = renderSpace(db);
    keep(image, QString::fromLatin1(GetParam().name));
    for (const Probe& p : GetParam().probes)
        EXPECT_EQ(inked(image, p.x, p.y), p.ink) << "at (" << p.x << ", " << p.y << ")";
}

INSTANTIATE_TEST_SUITE_P(Render, Shapes, testing::ValuesIn(shapeCases()),
                         [](const testing::TestParamInfo<ShapeCase>& row) { return std::string(row.param.name); });

TEST(RenderHatch, PatternLinesAreClippedToTheBoundary) {
    AcDbDatabase db;
    // Lines at 45 degrees, 6 units apart, dashed 4 on 2 off.
    const FilerItems pattern{{78, "1"}, {53, "45"}, {43, "0"}, {44, "0"}, {45, "-4.242640687"}, {46, "4.242640687"},
                             {79, "2"}, {49, "4"}, {49, "-2"}};
    appendToModel(db, foreign("HATCH", "AcDbHatch", squareHatch(false, pattern)));
    const QImage image = renderSpace(db);
    keep(image, QStringLiteral("HatchPattern"));
    const double inside = inkedShare(image, -28, -28, 28, 28);
    EXPECT_GT(inside, 0.02);
    EXPECT_LT(inside, 0.6);
    // Nothing of the pattern beyond the boundary (the boundary itself is not drawn).
    EXPECT_EQ(inkedShare(image, 32, -45, 45, 45), 0.0);
    EXPECT_EQ(inkedShare(image, -45, 32, 45, 45), 0.0);
}

TEST(RenderHatch, AnIslandStaysEmpty) {
    AcDbDatabase db;
    FilerItems items{{70, "1"}, {91, "2"},
                     {92, "1"}, {93, "4"},
                     {72, "1"}, {10, "-40"}, {20, "-40"}, {11, "40"}, {21, "-40"},
                     {72, "1"}, {10, "40"}, {20, "-40"}, {11, "40"}, {21, "40"},
                     {72, "1"}, {10, "40"}, {20, "40"}, {11, "-40"}, {21, "40"},
                     {72, "1"}, {10, "-40"}, {20, "40"}, {11, "-40"}, {21, "-40"},
                     {97, "0"},
                     {92, "16"}, {93, "1"},
                     {72, "2"}, {10, "0"}, {20, "0"}, {40, "15"}, {50, "0"}, {51, "360"}, {73, "1"},
                     {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"}};
    appendToModel(db, foreign("HATCH", "AcDbHatch", items));
    const QImage image = renderSpace(db);
    keep(image, QStringLiteral("HatchIsland"));
    EXPECT_TRUE(inked(image, 30, 30));
    EXPECT_FALSE(inked(image, 0, 0, 3));
}

// Layers, colours and block references.

AcDbObjectId addLayer(AcDbDatabase& db, const ACHAR* name, int color, bool frozen = false, bool off = false) {
    AcDbLayerTable* layers = nullptr;
    EXPECT_EQ(acdbOpenObject(layers, db.layerTableId(), AcDb::kForWrite), Acad::eOk);
    auto* layer = new AcDbLayerTableRecord();
    layer->setName(name);
    layer->setColor(AcCmColor::fromIndex(static_cast<std::int16_t>(color)));
    layer->setIsFrozen(frozen);
    layer->setIsOff(off);
    AcDbObjectId id;
    EXPECT_EQ(layers->add(id, layer), Acad::eOk);
    layer->close();
    layers->close();
    return id;
}

AcDbLine* lineWith(const AcGePoint3d& a, const AcGePoint3d& b, int color, AcDbObjectId layer = {}) {
    auto* line = new AcDbLine(a, b);
    line->setColorIndex(static_cast<Adesk::UInt16>(color));
    if (!layer.isNull()) line->setLayer(layer);
    return line;
}

AcDbBlockReference* referenceTo(AcDbObjectId block, const AcGePoint3d& at, int color, AcDbObjectId layer = {}) {
    auto* ref = new AcDbBlockReference(at, block);
    ref->setColorIndex(static_cast<Adesk::UInt16>(color));
    if (!layer.isNull()) ref->setLayer(layer);
    return ref;
}

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kWhite(255, 255, 255);

TEST(RenderColours, ByLayerByBlockAndLayerZeroResolveThroughTheReference) {
    AcDbDatabase db;
    const AcDbObjectId blue = addLayer(db, L"Blue", 5);
    const AcDbObjectId green = addLayer(db, L"Green", 3);
    const AcDbObjectId block = addBlock(db, L"B");
    appendTo(block, lineWith({0, 0, 0}, {20, 0, 0}, AcCmColor::kByBlock));         // takes the reference's colour
    appendTo(block, lineWith({0, 5, 0}, {20, 5, 0}, AcCmColor::kByLayer));         // layer 0: the reference's layer
    appendTo(block, lineWith({0, 10, 0}, {20, 10, 0}, AcCmColor::kByLayer, green));  // its own layer
    appendTo(block, lineWith({0, 15, 0}, {20, 15, 0}, 7));                          // the foreground
    appendToModel(db, referenceTo(block, {-40, 0, 0}, 1, blue));
    // The same block under a ByLayer reference: ByBlock becomes the reference's layer colour.
    appendToModel(db, referenceTo(block, {10, 0, 0}, AcCmColor::kByLayer, blue));
    const QImage image = renderSpace(db);
    keep(image, QStringLiteral("Colours"));
    EXPECT_EQ(inkAt(image, -30, 0), kRed);
    EXPECT_EQ(inkAt(image, -30, 5), kBlue);
    EXPECT_EQ(inkAt(image, -30, 10), kGreen);
    EXPECT_EQ(inkAt(image, -30, 15), kWhite);
    EXPECT_EQ(inkAt(image, 20, 0), kBlue);
}

TEST(RenderColours, TrueColourAndForegroundOnALightBackground) {
    AcDbDatabase db;
    auto* line = new AcDbLine({-40, 0, 0}, {40, 0, 0});
    AcCmColor c;
    c.setRGB(0x123456);
    line->setColor(c);
    appendToModel(db, line);
    appendToModel(db, lineWith({-40, 20, 0}, {40, 20, 0}, 7));
    const QImage image = renderSpace(db);
    EXPECT_EQ(inkAt(image, 0, 0), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(inkAt(image, 0, 20), kWhite);

    hostui::RenderOptions light;
    light.background = Qt::white;
    light.antialias = false;
    const QImage icon = hostui::renderBlockImage(db, db.modelSpaceId(), {64, 64}, light);
    bool black = false;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) black = black || icon.pixelColor(x, y) == QColor(0, 0, 0);
    EXPECT_TRUE(black) << "colour 7 is drawn black on a light background";
}

TEST(RenderLayers, FrozenAndOffLayersAreNotDrawnNorTheirReferences) {
    AcDbDatabase db;
    const AcDbObjectId frozen = addLayer(db, L"Frozen", 1, true);
    const AcDbObjectId off = addLayer(db, L"Off", 1, false, true);
    const AcDbObjectId shown = addLayer(db, L"Shown", 1);
    appendToModel(db, lineWith({-40, 30, 0}, {40, 30, 0}, AcCmColor::kByLayer, frozen));
    appendToModel(db, lineWith({-40, 20, 0}, {40, 20, 0}, AcCmColor::kByLayer, off));
    appendToModel(db, lineWith({-40, 10, 0}, {40, 10, 0}, AcCmColor::kByLayer, shown));
    const AcDbObjectId block = addBlock(db, L"B");
    appendTo(block, lineWith({0, 0, 0}, {20, 0, 0}, 3));                  // on layer 0: follows the reference
    appendTo(block, lineWith({0, -10, 0}, {20, -10, 0}, 3, frozen));      // its own frozen layer
    appendToModel(db, referenceTo(block, {-40, -20, 0}, AcCmColor::kByLayer, frozen));
    appendToModel(db, referenceTo(block, {10, 0, 0}, AcCmColor::kByLayer, shown));
    const QImage image = renderSpace(db);
    EXPECT_FALSE(inked(image, 0, 30));
    EXPECT_FALSE(inked(image, 0, 20));
    EXPECT_TRUE(inked(image, 0, 10));
    EXPECT_FALSE(inked(image, -30, -20));
    EXPECT_TRUE(inked(image, 20, 0));
    EXPECT_FALSE(inked(image, 20, -10));
}

TEST(RenderReferences, NestedReferencesCarryPositionScaleAndRotation) {
    AcDbDatabase db;
    const AcDbObjectId inner = addBlock(db, L"Inner");
    appendTo(inner, new AcDbLine({0, 0, 0}, {10, 0, 0}));
    const AcDbObjectId outer = addBlock(db, L"Outer");
    appendTo(outer, new AcDbBlockReference({5, 0, 0}, inner));
    auto* ref = new AcDbBlockReference({0, -40, 0}, outer);
    ref->setScaleFactors({2, 2, 2});
    ref->setRotation(std::numbers::pi / 2);
    appendToModel(db, ref);
    // Inner's line runs from 5 to 15 in Outer, turned to the Y axis and doubled: x = 0, y = -30..-10.
    const QImage image = renderSpace(db);
    keep(image, QStringLiteral("NestedReference"));
    EXPECT_TRUE(inked(image, 0, -20));
    EXPECT_TRUE(inked(image, 0, -12));
    EXPECT_FALSE(inked(image, 0, -36));
    EXPECT_FALSE(inked(image, 15, -40));
}

TEST(RenderReferences, MultipleInsertDrawsEveryColumnAndRow) {
    AcDbDatabase db;
    const AcDbObjectId block = addBlock(db, L"Dot");
    appendTo(block, new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 2));
    auto* ref = new AcDbBlockReference({-30, -30, 0}, block);
    ref->foreign().chunk("AcDbBlockReference") = {{70, "3"}, {71, "2"}, {44, "30"}, {45, "60"}};
    appendToModel(db, ref);
    const QImage image = renderSpace(db);
    for (double x : {-30.0, 0.0, 30.0})
        for (double y : {-30.0, 30.0}) EXPECT_TRUE(inked(image, x + 2, y)) << x << ", " << y;
    EXPECT_FALSE(inked(image, 2, 0));
}

TEST(RenderReferences, DimensionIsDrawnThroughItsGeometryBlock) {
    AcDbDatabase db;
    const AcDbObjectId geometry = addBlock(db, L"*D1");
    appendTo(geometry, lineWith({-30, 10, 0}, {30, 10, 0}, AcCmColor::kByBlock));
    auto* dim = new AcDbDimension();
    dim->setDimBlockId(geometry);
    dim->setColorIndex(3);
    appendToModel(db, dim);
    const QImage image = renderSpace(db);
    EXPECT_EQ(inkAt(image, 0, 10), kGreen);
}

TEST(RenderColours, PaletteEntries) {
    struct Entry {
        int index;
        QRgb rgb;
    };
    // The named colours, both saturations of a hue at two brightnesses, the greys, and
    // what is not a colour at all.
    for (const Entry& e : {Entry{1, 0xFF0000}, Entry{2, 0xFFFF00}, Entry{5, 0x0000FF}, Entry{7, 0xFFFFFF},
                           Entry{8, 0x808080}, Entry{9, 0xC0C0C0}, Entry{10, 0xFF0000}, Entry{11, 0xFF7F7F},
                           Entry{12, 0xA50000}, Entry{30, 0xFF7F00}, Entry{31, 0xFFBF7F}, Entry{92, 0x00A500},
                           Entry{140, 0x00BFFF}, Entry{171, 0x7F7FFF}, Entry{249, 0x261317}, Entry{250, 0x333333},
                           Entry{255, 0xFFFFFF}, Entry{0, 0xFFFFFF}, Entry{256, 0xFFFFFF}})
        EXPECT_EQ(hostui::aciColor(e.index), 0xFF000000u | e.rgb) << "index " << e.index;
}

// Text.

TEST(RenderText, TheTextsBoxIsInkedAndAlignmentMovesIt) {
    AcDbDatabase db;
    appendToModel(db, new AcDbText({-40, 20, 0}, L"HHHH", AcDbObjectId::kNull, 10));
    auto* right = new AcDbText({0, 0, 0}, L"HHHH", AcDbObjectId::kNull, 10);
    right->setHorizontalMode(AcDb::kTextRight);
    right->setAlignmentPoint({40, -30, 0});
    appendToModel(db, right);
    const QImage image = renderSpace(db);
    keep(image, QStringLiteral("Text"));
    // Left aligned: ink from the position to the right, between the baseline and the cap height.
    EXPECT_GT(inkedShare(image, -39, 21, -20, 29), 0.2);
    EXPECT_EQ(inkedShare(image, -45, 32, 45, 40), 0.0);
    EXPECT_EQ(inkedShare(image, -48, 21, -42, 29), 0.0);
    // Right aligned: the text ends at its alignment point.
    EXPECT_GT(inkedShare(image, 20, -29, 39, -21), 0.2);
    EXPECT_EQ(inkedShare(image, 42, -29, 49, -21), 0.0);
}

TEST(RenderText, WidthFactorStretchesAlongTheBaseline) {
    AcDbDatabase db;
    appendToModel(db, new AcDbText({-40, 20, 0}, L"HH", AcDbObjectId::kNull, 10));
    auto* wide = new AcDbText({-40, -20, 0}, L"HH", AcDbObjectId::kNull, 10);
    wide->setWidthFactor(2);
    appendToModel(db, wide);
    const QImage image = renderSpace(db);
    auto lastInkedX = [&](double y) {
        double last = -50;
        for (double x = -50; x < 50; x += 0.5)
            if (inked(image, x, y, 0)) last = x;
        return last;
    };
    const double plain = lastInkedX(25) + 40, stretched = lastInkedX(-15) + 40;
    EXPECT_NEAR(stretched / plain, 2.0, 0.15);
}

TEST(RenderText, RotatedTextRunsAlongItsAngle) {
    AcDbDatabase db;
    appendToModel(db, new AcDbText({0, -40, 0}, L"HHHHHH", AcDbObjectId::kNull, 8, std::numbers::pi / 2));
    const QImage image = renderSpace(db);
    EXPECT_GT(inkedShare(image, -7, -30, -1, 0), 0.2);
    EXPECT_EQ(inkedShare(image, 2, -40, 20, 40), 0.0);
}

TEST(RenderText, MTextWrapsAtItsWidthAndStacksParagraphsDownward) {
    AcDbDatabase db;
    auto* m = new AcDbMText();
    m->setLocation({-40, 40, 0});
    m->setTextHeight(5);
    m->setWidth(40);
    m->setContents(L"HHH HHH HHH HHH\\PHHH");
    appendToModel(db, m);
    const QImage image = renderSpace(db);
    keep(image, QStringLiteral("MText"));
    EXPECT_EQ(inkedShare(image, 2, -50, 50, 50), 0.0) << "nothing beyond the width";
    EXPECT_GT(inkedShare(image, -40, 35, -30, 40), 0.1) << "first line below the location";
    EXPECT_GT(inkedShare(image, -40, 15, -30, 25), 0.05) << "later lines further down";
}

TEST(RenderText, MTextAttachmentPlacesTheBlockAroundItsLocation) {
    struct Case {
        AcDbMText::AttachmentPoint attachment;
        double inkX0, inkX1, inkY0, inkY1;  // a box that must hold ink
        double emptyX0, emptyX1, emptyY0, emptyY1;  // a box that must not
    };
    // The location is (0, 0); the text is one line "HHHH" of height 10.
    for (const Case& c : {Case{AcDbMText::kTopLeft, 1, 20, -9, -1, -20, -2, -20, 20},
                          Case{AcDbMText::kBottomRight, -20, -1, 1, 9, 2, 20, -20, 20},
                          Case{AcDbMText::kMiddleCenter, -10, 10, -4, 4, -45, -25, -20, 20}}) {
        AcDbDatabase db;
        auto* m = new AcDbMText();
        m->setTextHeight(10);
        m->setAttachment(c.attachment);
        m->setContents(L"HHHH");
        appendToModel(db, m);
        const QImage image = renderSpace(db);
        EXPECT_GT(inkedShare(image, c.inkX0, c.inkY0, c.inkX1, c.inkY1), 0.2) << "attachment " << c.attachment;
        EXPECT_EQ(inkedShare(image, c.emptyX0, c.emptyY0, c.emptyX1, c.emptyY1), 0.0) << "attachment " << c.attachment;
    }
}

// The image surface for blocks.

TEST(BlockImage, FitsTheBlocksExtentsIntoTheImage) {
    AcDbDatabase db;
    const AcDbObjectId block = addBlock(db, L"Square");
    auto* square = new AcDbPolyline();
    square->addVertexAt(0, {100, 100});
    square->addVertexAt(1, {300, 100});
    square->addVertexAt(2, {300, 200});
    square->addVertexAt(3, {100, 200});
    square->setClosed(true);
    appendTo(block, square);
    hostui::RenderOptions options;
    options.background = Qt::white;
    options.antialias = false;
    options.margin = 0;
    const QImage icon = hostui::renderBlockImage(db, block, {32, 32}, options);
    rendertest::keep(icon, QStringLiteral("BlockIcon"));
    // 200 x 100 fills the width: the left and right edges are on the image's sides, the
    // top and bottom at a quarter from the top and the bottom.
    auto black = [&](int x, int y) { return icon.pixelColor(x, y) == QColor(0, 0, 0); };
    EXPECT_TRUE(black(0, 16));
    EXPECT_TRUE(black(31, 16));
    EXPECT_TRUE(black(16, 8) || black(16, 7));
    EXPECT_TRUE(black(16, 24) || black(16, 23));
    EXPECT_FALSE(black(16, 16));
    EXPECT_FALSE(black(16, 2));

    const QImage empty = hostui::renderBlockImage(db, addBlock(db, L"Empty"), {32, 32}, options);
    EXPECT_EQ(empty.pixelColor(16, 16), QColor(Qt::white));
}

}  // namespace
