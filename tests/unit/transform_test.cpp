#include "db/blockreference.h"
#include "db/curves.h"
#include "db/dimension.h"
#include "db/foreignentity.h"
#include "db/mtext.h"
#include "db/text.h"
#include "ge/line3d.h"
#include "ge/planeframe.h"
#include "entityshapes.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace shapes;

// What a kind does under an uneven scale: follows it; refuses, but gives a transformed
// copy of another kind (a circle gives an ellipse); refuses and stays as it is; or
// follows it only roughly (text keeps upright glyphs), which this table does not judge.
enum class Stretched { exact, copyOnly, refused, roughly };

// One entity of every kind the host models, and the foreign kinds it can place, each
// appended to the model space of db.
struct Kind {
    const char* name;
    std::function<AcDbEntity*(AcDbDatabase&)> make;
    Stretched stretched = Stretched::exact;
};

AcDbEntity* polylineWithBulge(AcDbDatabase&) {
    auto* pl = new AcDbPolyline();
    pl->addVertexAt(0, {0, 0}, 0.5);
    pl->addVertexAt(1, {4, 0}, -1.0);
    pl->addVertexAt(2, {4, 3});
    pl->setElevation(1.0);
    return pl;
}

AcDbEntity* alignedText(AcDbDatabase&) {
    auto* text = new AcDbText({1, 2, 0}, L"Flip", AcDbObjectId::kNull, 1.5, 0.3);
    text->setHorizontalMode(AcDb::kTextCenter);
    text->setAlignmentPoint({3, 2.5, 0});
    text->setWidthFactor(0.8);
    return text;
}

AcDbEntity* multilineText(AcDbDatabase&) {
    auto* mt = new AcDbMText();
    mt->setLocation({2, 3, 0});
    mt->setContents(L"one\\Ptwo");
    mt->setRotation(0.4);
    mt->setAttachment(AcDbMText::kMiddleCenter);
    return mt;
}

// A reference turned and scaled evenly, of a block with a line and an arc, carrying an
// attribute.
AcDbEntity* referenceWithAttribute(AcDbDatabase& db) {
    const AcDbObjectId block = addBlock(db, L"BOX");
    appendTo(block, new AcDbLine({0, 0, 0}, {2, 0, 0}));
    appendTo(block, new AcDbArc({1, 1, 0}, 1, 0.2, 2.0));
    auto* ref = new AcDbBlockReference({3, 4, 0}, block);
    ref->setRotation(0.5);
    ref->setScaleFactors({2, 2, 2});
    auto* attr = new AcDbAttribute();
    attr->setPosition({3, 2, 0});
    attr->setHeight(0.5);
    attr->setRotation(0.5);
    ref->appendAttribute(attr);
    return ref;
}

AcDbEntity* dimension(AcDbDatabase& db) {
    const AcDbObjectId block = addBlock(db, L"*D1");
    appendTo(block, new AcDbLine({0, 0, 0}, {5, 0, 0}));
    appendTo(block, new AcDbLine({0, 0, 0}, {0, 2, 0}));
    auto* dim = new AcDbDimension();
    dim->setDimBlockId(block);
    dim->setDefinitionPoint({5, 2, 0});
    return dim;
}

AcDbEntity* leader(AcDbDatabase&) {
    auto* l = new AcDbLeader();
    l->appendVertex({0, 0, 0});
    l->appendVertex({2, 3, 0});
    l->appendVertex({4, 3, 0});
    return l;
}

// A hatch whose boundary is a closed polyline with arcs both ways, at an elevation, with
// a dashed two-line pattern and a seed point.
AcDbEntity* hatchWithBulges(AcDbDatabase&) {
    return foreign("HATCH", "AcDbHatch",
                   items({{10, 0}, {20, 0}, {30, 1.5}, {210, 0}, {220, 0}, {230, 1}, {70, 0}, {71, 0}, {91, 1},
                          {92, 3}, {72, 1}, {73, 1}, {93, 4}, {10, 0}, {20, 0}, {42, 0.5}, {10, 4}, {20, 0}, {42, 0},
                          {10, 4}, {20, 3}, {42, -1}, {10, 0}, {20, 3}, {42, 0}, {97, 0},
                          {75, 0}, {76, 1}, {52, 45}, {41, 2}, {77, 0}, {78, 2},
                          {53, 45}, {43, 0}, {44, 0}, {45, -1.5}, {46, 1.5}, {79, 2}, {49, 3}, {49, -1},
                          {53, 135}, {43, 1}, {44, 0.5}, {45, -1}, {46, -1}, {79, 0},
                          {47, 0.1}, {98, 1}, {10, 2}, {20, 1.5}}));
}

// A solid hatch in a tilted plane whose paths are edges of every kind: a line, arcs
// both ways, a spline with fit points, elliptical arcs both ways.
AcDbEntity* hatchOfEdges(AcDbDatabase&) {
    return foreign(
        "HATCH", "AcDbHatch",
        items({{10, 0}, {20, 0}, {30, -2}, {210, 0}, {220, 0.6}, {230, 0.8}, {70, 1}, {71, 0}, {91, 2},
               {92, 1}, {93, 5},
               {72, 1}, {10, 0}, {20, 0}, {11, 4}, {21, 0},
               {72, 2}, {10, 4}, {20, 1}, {40, 1}, {50, 270}, {51, 90}, {73, 1},
               {72, 4}, {94, 3}, {73, 0}, {74, 0}, {95, 8}, {96, 4}, {40, 0}, {40, 0}, {40, 0}, {40, 0}, {40, 1},
               {40, 1}, {40, 1}, {40, 1}, {10, 4}, {20, 2}, {10, 3}, {20, 3}, {10, 1}, {20, 3}, {10, 0}, {20, 2},
               {97, 2}, {11, 4}, {21, 2}, {11, 0}, {21, 2},
               {72, 3}, {10, 0}, {20, 1}, {11, 0}, {21, 1}, {40, 0.5}, {50, 0}, {51, 180}, {73, 1},
               {72, 2}, {10, 2}, {20, 1}, {40, 0.5}, {50, 30}, {51, 200}, {73, 0},
               {97, 0},
               {92, 16}, {93, 1},
               {72, 3}, {10, 2}, {20, 1.5}, {11, 0.5}, {21, 0}, {40, 0.4}, {50, 10}, {51, 350}, {73, 0},
               {97, 0},
               {75, 1}, {76, 1}, {98, 1}, {10, 2}, {20, 1}}));
}

AcDbEntity* flatPolyline(AcDbDatabase&) {
    return oldPolyline("AcDb2dPolyline",
                       items({{66, 1}, {10, 0}, {20, 0}, {30, 2}, {70, 1}, {40, 0.2}, {41, 0.2}, {210, 0}, {220, -0.6},
                              {230, 0.8}}),
                       {vertex({{10, 0}, {20, 0}, {30, 2}, {40, 0.1}, {41, 0.3}, {42, 0.5}, {70, 0}}),
                        vertex({{10, 4}, {20, 0}, {30, 2}, {40, 0.3}, {41, 0.3}, {70, 0}}),
                        vertex({{10, 4}, {20, 3}, {30, 2}, {42, -1}, {70, 2}, {50, 30}}),
                        vertex({{10, 0}, {20, 3}, {30, 2}, {70, 0}})});
}

AcDbEntity* spacePolyline(AcDbDatabase&) {
    return oldPolyline("AcDb3dPolyline", items({{66, 1}, {10, 0}, {20, 0}, {30, 0}, {70, 8}}),
                       {vertex({{10, 1}, {20, 2}, {30, 3}, {70, 32}}), vertex({{10, 4}, {20, 0}, {30, 1}, {70, 32}}),
                        vertex({{10, 5}, {20, 5}, {30, 5}, {70, 32}})});
}

AcDbEntity* polygonMesh(AcDbDatabase&) {
    std::vector<hostdb::FilerItems> grid;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) grid.push_back(vertex({{10, j}, {20, i * 2}, {30, i + j}, {70, 64}}));
    return oldPolyline("AcDbPolygonMesh", items({{66, 1}, {10, 0}, {20, 0}, {30, 0}, {70, 16}, {71, 2}, {72, 3}}),
                       std::move(grid));
}

// Two faces on four vertices, one edge hidden; face records keep a placeholder point.
AcDbEntity* polyfaceMesh(AcDbDatabase&) {
    return oldPolyline("AcDbPolyFaceMesh", items({{66, 1}, {10, 0}, {20, 0}, {30, 0}, {70, 64}, {71, 4}, {72, 2}}),
                       {vertex({{10, 0}, {20, 0}, {30, 0}, {70, 192}}), vertex({{10, 2}, {20, 0}, {30, 0}, {70, 192}}),
                        vertex({{10, 2}, {20, 2}, {30, 1}, {70, 192}}), vertex({{10, 0}, {20, 2}, {30, 1}, {70, 192}}),
                        vertex({{10, 0}, {20, 0}, {30, 0}, {70, 128}, {71, 1}, {72, 2}, {73, 3}}),
                        vertex({{10, 0}, {20, 0}, {30, 0}, {70, 128}, {71, 1}, {72, -3}, {73, 4}})});
}

AcDbEntity* planarSpline(AcDbDatabase&) {
    return foreign("SPLINE", "AcDbSpline",
                   items({{210, 0}, {220, 0}, {230, 1}, {70, 8}, {71, 3}, {72, 8}, {73, 4}, {74, 0}, {40, 0}, {40, 0},
                          {40, 0}, {40, 0}, {40, 1}, {40, 1}, {40, 1}, {40, 1}, {10, 0}, {20, 0}, {30, 0}, {10, 1},
                          {20, 2}, {30, 0}, {10, 3}, {20, 2}, {30, 0}, {10, 4}, {20, 0}, {30, 0}}));
}

const Kind kKinds[] = {
    {"line", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbLine({1, 0, 0}, {4, 3, 2}); }},
    {"circle", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbCircle({2, 3, 0}, AcGeVector3d::kZAxis, 1.5); },
     Stretched::copyOnly},
    {"arc", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbArc({2, 3, 0}, 2, 0.0, std::numbers::pi / 2); },
     Stretched::copyOnly},
    {"arc across angle zero in a tilted plane",
     [](AcDbDatabase&) -> AcDbEntity* {
         auto* arc = new AcDbArc({2, 3, 1}, 2, 5.5, 1.0);
         arc->setNormal({0, -0.6, 0.8});
         return arc;
     },
     Stretched::copyOnly},
    {"polyline with bulges", polylineWithBulge, Stretched::refused},
    {"point", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbPoint({3, 1, 0}); }},
    {"text aligned to a point", alignedText, Stretched::roughly},
    {"mtext", multilineText, Stretched::roughly},
    {"block reference with an attribute", referenceWithAttribute, Stretched::refused},
    {"dimension", dimension},
    {"leader", leader},
    {"ellipse arc", [](AcDbDatabase&) {
         return foreign("ELLIPSE", "AcDbEllipse",
                        items({{10, 2}, {20, 3}, {30, 0}, {11, 2}, {21, 0}, {31, 0}, {40, 0.5}, {41, 0}, {42, 2}}));
     }},
    {"solid", [](AcDbDatabase&) {
         return foreign("SOLID", "AcDbTrace",
                        items({{10, 0}, {20, 0}, {30, 0}, {11, 2}, {21, 0}, {31, 0}, {12, 0}, {22, 1}, {32, 0},
                               {13, 2}, {23, 1}, {33, 0}}));
     }},
    {"hatch with a polyline path and a pattern", hatchWithBulges},
    {"hatch with edge paths in a tilted plane", hatchOfEdges},
    {"old-style 2D polyline", flatPolyline, Stretched::refused},
    {"old-style 3D polyline", spacePolyline},
    {"polygon mesh", polygonMesh},
    {"polyface mesh", polyfaceMesh},
    {"planar spline", planarSpline},
    {"shape", [](AcDbDatabase&) {
         return foreign("SHAPE", "AcDbShape", items({{10, 2}, {20, 1}, {30, 0.5}, {40, 2}, {50, 30}, {41, 0.8}}));
     },
     Stretched::roughly},
    {"image", [](AcDbDatabase&) {
         return foreign("IMAGE", "AcDbRasterImage",
                        items({{90, 0}, {10, 1}, {20, 2}, {30, 0}, {11, 0.01}, {21, 0}, {31, 0}, {12, 0}, {22, 0.02},
                               {32, 0}, {13, 640}, {23, 480}, {70, 7}, {91, 2}, {14, -0.5}, {24, -0.5}, {14, 639.5},
                               {24, 479.5}}));
     }},
};

struct Transform {
    const char* name;
    AcGeMatrix3d matrix;
};

AcGeMatrix3d reflectionInPlaneX5() {
    AcGeMatrix3d m;
    m(0, 0) = -1;
    m(0, 3) = 10;
    return m;
}

// Stretched along X and squeezed along Y about (1, 1), then turned: no circle survives.
AcGeMatrix3d unevenScale() {
    AcGeMatrix3d s;
    s(0, 0) = 2;
    s(1, 1) = 0.5;
    s.setTranslation({1 - 2, 1 - 0.5, 0});
    return AcGeMatrix3d::rotation(0.3, AcGeVector3d::kZAxis) * s;
}

const Transform kTransforms[] = {
    {"move", AcGeMatrix3d::translation({3, -2, 1})},
    {"turn about Z", AcGeMatrix3d::rotation(0.7, AcGeVector3d::kZAxis, {1, 2, 0})},
    {"turn about a slanted axis", AcGeMatrix3d::rotation(1.1, {1, 1, 1}, {0, 1, 0})},
    {"even scale", AcGeMatrix3d::scaling(2.5, {1, 1, 0})},
    {"uneven scale", unevenScale()},
    {"half-turn about y = 1", AcGeMatrix3d::mirroring(AcGeLine3d(AcGePoint3d(0, 1, 0), AcGePoint3d(10, 1, 0)))},
    {"half-turn about a slanted line", AcGeMatrix3d::mirroring(AcGeLine3d(AcGePoint3d(5, 0, 0), AcGePoint3d(5, 2, 4)))},
    {"reflection in the plane x = 5", reflectionInPlaneX5()},
};

// The normal a plane gets from a transformation that keeps its sense: the cross
// product of its transformed axes.
AcGeVector3d carriedNormal(const AcGeMatrix3d& m, const AcGeVector3d& n) {
    const auto f = AcGePlaneFrame::fromNormal(n);
    return (m * f.xAxis).crossProduct(m * f.yAxis).normal();
}

void expectCarried(const Shape& before, const Shape& after, const AcGeMatrix3d& m, const AcDbEntity& result) {
    const AcGeTol tol{1e-9, 1e-9};
    ASSERT_EQ(after.points.size(), before.points.size());
    for (std::size_t i = 0; i < before.points.size(); ++i)
        EXPECT_TRUE(after.points[i].isEqualTo(m * before.points[i], tol))
            << "point " << i << ": " << after.points[i].x << "," << after.points[i].y << "," << after.points[i].z;
    for (std::size_t i = 0; i < before.onCurve.size(); ++i) EXPECT_LT(offCurve(result, m * before.onCurve[i]), 1e-9) << i;
    if (m.det() > 0 && before.normal && after.normal) {
        EXPECT_TRUE(after.normal->isEqualTo(carriedNormal(m, *before.normal), tol));
    }
    if (m.isUniScaledOrtho()) {
        ASSERT_EQ(after.sizes.size(), before.sizes.size());
        for (std::size_t i = 0; i < before.sizes.size(); ++i)
            EXPECT_NEAR(after.sizes[i], before.sizes[i] * m.scale(), 1e-9) << "size " << i;
    }
}

void expectUnchanged(const Shape& before, const Shape& after) {
    ASSERT_EQ(after.points.size(), before.points.size());
    for (std::size_t i = 0; i < before.points.size(); ++i) EXPECT_TRUE(after.points[i].isEqualTo(before.points[i])) << i;
}

// Every kind, moved, turned, scaled, mirrored and stretched, lands where its points are
// carried to; a kind that cannot follow a stretch refuses it and stays as it is.
TEST(Transforming, EveryKindFollowsItsPoints) {
    for (const auto& kind : kKinds)
        for (const auto& t : kTransforms) {
            SCOPED_TRACE(std::string(kind.name) + ", " + t.name);
            const bool stretch = !t.matrix.isUniScaledOrtho();
            if (stretch && kind.stretched == Stretched::roughly) continue;
            AcDbDatabase db;
            acdbHostApplicationServices()->setWorkingDatabase(&db);
            const AcDbObjectId id = appendToModel(db, kind.make(db));
            const Shape before = residentShape(id);
            AcDbEntity* e = nullptr;
            ASSERT_EQ(acdbOpenObject(e, id, AcDb::kForWrite), Acad::eOk);
            const Acad::ErrorStatus es = e->transformBy(t.matrix);
            std::unique_ptr<AcDbEntity> copy;
            if (stretch && kind.stretched != Stretched::exact) {
                EXPECT_EQ(es, Acad::eNotApplicable);
                AcDbEntity* made = nullptr;
                const Acad::ErrorStatus copied = e->getTransformedCopy(t.matrix, made);
                copy.reset(made);
                EXPECT_EQ(copied == Acad::eOk, kind.stretched == Stretched::copyOnly);
            } else {
                EXPECT_EQ(es, Acad::eOk);
            }
            e->close();
            if (stretch && kind.stretched == Stretched::refused) {
                expectUnchanged(before, residentShape(id));
            } else if (copy) {
                const auto* ellipse = AcDbForeignEntity::cast(copy.get());
                EXPECT_TRUE(ellipse && ellipse->dxfName() == "ELLIPSE");
                expectCarried(before, shapeOf(*copy), t.matrix, *copy);
            } else {
                ASSERT_EQ(acdbOpenObject(e, id, AcDb::kForRead), Acad::eOk);
                expectCarried(before, shapeOf(*e), t.matrix, *e);
                e->close();
            }
            acdbHostApplicationServices()->setWorkingDatabase(nullptr);
        }
}

// A copy of a dimension shares its geometry block; turning the copy gives it a block
// of its own and leaves the original as it was drawn.
TEST(Transforming, TurnedDimensionCopyLeavesTheSharedBlockAlone) {
    AcDbDatabase db;
    acdbHostApplicationServices()->setWorkingDatabase(&db);
    const AcDbObjectId originalId = appendToModel(db, dimension(db));
    const Shape drawn = residentShape(originalId);
    AcDbDimension* original = nullptr;
    ASSERT_EQ(acdbOpenObject(original, originalId, AcDb::kForRead), Acad::eOk);
    std::unique_ptr<AcDbDimension> copy(static_cast<AcDbDimension*>(original->clone()));
    const AcDbObjectId sharedBlock = original->dimBlockId();
    original->close();

    const AcGeMatrix3d turn = AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kZAxis);
    ASSERT_EQ(copy->transformBy(turn), Acad::eOk);
    EXPECT_EQ(copy->dimBlockId(), sharedBlock) << "outside a database the turned geometry waits";
    const Shape turned = shapeOf(*copy);
    const AcDbObjectId copyId = appendToModel(db, copy.release());
    const Shape resident = residentShape(copyId);
    for (std::size_t i = 0; i < drawn.points.size(); ++i) {
        EXPECT_TRUE(turned.points[i].isEqualTo(turn * drawn.points[i], AcGeTol{1e-9, 1e-9})) << i;
        EXPECT_TRUE(resident.points[i].isEqualTo(turned.points[i], AcGeTol{1e-9, 1e-9})) << i;
    }
    const auto* appended = AcDbDimension::cast(copyId.slot()->object);
    EXPECT_NE(appended->dimBlockId(), sharedBlock) << "a block of its own once in the database";
    const Shape still = residentShape(originalId);
    for (std::size_t i = 0; i < drawn.points.size(); ++i) EXPECT_TRUE(still.points[i].isEqualTo(drawn.points[i])) << i;
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
}

}  // namespace

namespace {

AcDbEntity* solid3d() { return foreign("3DSOLID", "AcDbModelerGeometry", {{70, "1"}, {1, "embedded modeller data"}}); }
AcDbEntity* proxy() { return foreign("ACAD_PROXY_ENTITY", "AcDbProxyEntity", {{90, "498"}, {91, "0"}}); }

// A hatch whose path count promises a second path that is not there.
AcDbEntity* truncatedHatch() {
    return foreign("HATCH", "AcDbHatch",
                   items({{10, 0}, {20, 0}, {30, 0}, {70, 1}, {71, 0}, {91, 2}, {92, 3}, {72, 0}, {73, 1}, {93, 3},
                          {10, 0}, {20, 0}, {10, 1}, {20, 0}, {10, 1}, {20, 1}, {97, 0}, {75, 0}, {76, 1}, {98, 0}}));
}

// Kinds whose shape the host cannot place refuse every transformation and keep every
// group as it was read; a reference that holds one cannot be exploded.
TEST(Transforming, UnplaceableKindsRefuseAndStayWhole) {
    const struct {
        const char* name;
        AcDbEntity* (*make)();
    } cases[] = {{"3D solid", solid3d}, {"proxy", proxy}, {"hatch with a missing path", truncatedHatch}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<AcDbEntity> e(c.make());
        const hostdb::ForeignData kept = *e->foreignData();
        EXPECT_EQ(e->transformBy(AcGeMatrix3d::translation({1, 2, 3})), Acad::eNotApplicable);
        AcDbEntity* copy = nullptr;
        EXPECT_EQ(e->getTransformedCopy(AcGeMatrix3d::translation({1, 2, 3}), copy), Acad::eNotApplicable);
        EXPECT_EQ(copy, nullptr);
        ASSERT_EQ(e->foreignData()->chunks().size(), kept.chunks().size());
        for (std::size_t i = 0; i < kept.chunks().size(); ++i)
            EXPECT_EQ(e->foreignData()->chunks()[i].items, kept.chunks()[i].items);
    }

    AcDbDatabase db;
    acdbHostApplicationServices()->setWorkingDatabase(&db);
    const AcDbObjectId block = addBlock(db, L"SOLIDBOX");
    appendTo(block, new AcDbLine({0, 0, 0}, {1, 1, 0}));
    appendTo(block, solid3d());
    const AcDbObjectId refId = appendToModel(db, new AcDbBlockReference({5, 0, 0}, block));
    AcDbBlockReference* ref = nullptr;
    ASSERT_EQ(acdbOpenObject(ref, refId, AcDb::kForRead), Acad::eOk);
    AcDbVoidPtrArray parts;
    EXPECT_EQ(ref->explode(parts), Acad::eCannotExplodeEntity);
    EXPECT_EQ(parts.length(), 0);
    ref->close();
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
}

// Boxes come from the drawn shape: the arcs of bulges and edges reach past their ends,
// and the placeholder point of an old-style polyline's header is no part of it.
TEST(Transforming, ExtentsFollowTheDrawnShape) {
    AcDbDatabase scratch;
    const struct {
        const char* name;
        AcDbEntity* entity;
        AcGePoint3d min, max;
    } cases[] = {
        // The first segment bulges 1 below its chord, the third 2 inwards.
        {"hatch with a polyline path", hatchWithBulges(scratch), {0, -1, 1.5}, {4, 3, 1.5}},
        // Clockwise from 0 to 90 degrees seen from below: the quarter below the X axis.
        {"hatch of a circle edge and a clockwise quarter",
         foreign("HATCH", "AcDbHatch",
                 items({{10, 0}, {20, 0}, {30, 0}, {70, 1}, {71, 0}, {91, 2}, {92, 1}, {93, 1}, {72, 2}, {10, 10},
                        {20, 10}, {40, 2}, {50, 0}, {51, 360}, {73, 1}, {97, 0}, {92, 1}, {93, 1}, {72, 2}, {10, 0},
                        {20, 0}, {40, 1}, {50, 0}, {51, 90}, {73, 0}, {97, 0}, {75, 0}, {76, 1}, {98, 0}})),
         {0, -1, 0}, {12, 12, 0}},
        {"old-style polyline away from the origin",
         oldPolyline("AcDb2dPolyline", items({{66, 1}, {10, 0}, {20, 0}, {30, 0}, {70, 0}}),
                     {vertex({{10, 20}, {20, 5}, {30, 0}, {42, 1}}), vertex({{10, 24}, {20, 5}, {30, 0}})}),
         {20, 3, 0}, {24, 5, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<AcDbEntity> e(c.entity);
        AcDbExtents box;
        ASSERT_EQ(e->getGeomExtents(box), Acad::eOk);
        EXPECT_TRUE(box.minPoint().isEqualTo(c.min, AcGeTol{1e-9, 1e-9}))
            << box.minPoint().x << "," << box.minPoint().y << "," << box.minPoint().z;
        EXPECT_TRUE(box.maxPoint().isEqualTo(c.max, AcGeTol{1e-9, 1e-9}))
            << box.maxPoint().x << "," << box.maxPoint().y << "," << box.maxPoint().z;
    }
}

}  // namespace

namespace {

// A polyline with arcs cannot be stretched as one polyline; a reference that stretches it
// explodes into its segments, the arcs elliptical, where the polyline's segments are
// carried to.
TEST(Transforming, StretchedReferenceExplodesPolylinesWithArcsIntoSegments) {
    const struct {
        const char* name;
        AcDbEntity* (*make)(AcDbDatabase&);
    } cases[] = {{"light-weight polyline", polylineWithBulge}, {"old-style 2D polyline", flatPolyline}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AcDbDatabase db;
        acdbHostApplicationServices()->setWorkingDatabase(&db);
        const AcDbObjectId block = addBlock(db, L"ARCS");
        const AcDbObjectId plId = appendTo(block, c.make(db));
        auto* ref = new AcDbBlockReference({10, 0, 0}, block);
        ref->setScaleFactors({2, 0.5, 1});
        const AcDbObjectId refId = appendToModel(db, ref);
        const Shape before = residentShape(plId);

        AcDbBlockReference* open = nullptr;
        ASSERT_EQ(acdbOpenObject(open, refId, AcDb::kForRead), Acad::eOk);
        const AcGeMatrix3d m = open->blockTransform();
        AcDbVoidPtrArray parts;
        EXPECT_EQ(open->explode(parts), Acad::eOk);
        open->close();
        Points after;
        int ellipses = 0;
        for (void* p : parts) {
            const std::unique_ptr<AcDbEntity> part(static_cast<AcDbEntity*>(p));
            const auto* foreignPart = AcDbForeignEntity::cast(part.get());
            ellipses += foreignPart && foreignPart->dxfName() == "ELLIPSE";
            const Shape s = shapeOf(*part);
            after.insert(after.end(), s.points.begin(), s.points.end());
        }
        EXPECT_EQ(ellipses, 2);
        ASSERT_EQ(after.size(), before.points.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            EXPECT_TRUE(after[i].isEqualTo(m * before.points[i], AcGeTol{1e-9, 1e-9})) << "point " << i;
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }
}

}  // namespace

namespace {

// An old file's polyline header may leave its elevation out; a move out of its plane
// must still take the polyline along.
TEST(Transforming, PolylineWithoutStatedElevationMovesOutOfItsPlane) {
    const std::unique_ptr<AcDbEntity> pl(oldPolyline("AcDb2dPolyline", items({{66, 1}, {10, 0}, {20, 0}, {70, 0}}),
                                                     {vertex({{10, 1}, {20, 1}}), vertex({{10, 3}, {20, 2}})}));
    ASSERT_EQ(pl->transformBy(AcGeMatrix3d::translation({0, 0, 2})), Acad::eOk);
    AcDbExtents box;
    ASSERT_EQ(pl->getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(box.minPoint().isEqualTo({1, 1, 2}));
    EXPECT_TRUE(box.maxPoint().isEqualTo({3, 2, 2}));
}

}  // namespace
