#include "db/blockreference.h"
#include "db/curves.h"
#include "db/dimension.h"
#include "db/foreignentity.h"
#include "db/mtext.h"
#include "db/text.h"
#include "ge/line3d.h"
#include "ge/planeframe.h"
#include "rx/numbertext.h"
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

using Points = std::vector<AcGePoint3d>;

// What fixes an entity in space: characteristic points in world coordinates and, for a
// planar entity, its normal.
struct Shape {
    Points points;
    std::optional<AcGeVector3d> normal;
};

Shape shapeOf(const AcDbEntity& e);

void addArcPoints(const AcDbArc& arc, Points& out) {
    const double sweep = std::fmod(arc.endAngle() - arc.startAngle() + 4 * std::numbers::pi, 2 * std::numbers::pi);
    out.insert(out.end(), {arc.pointAt(arc.startAngle()), arc.pointAt(arc.startAngle() + sweep / 2),
                           arc.pointAt(arc.endAngle())});
}

// The points of the parts an entity explodes into, in order.
Points partPoints(const AcDbEntity& e) {
    AcDbVoidPtrArray parts;
    EXPECT_EQ(e.explode(parts), Acad::eOk);
    Points out;
    for (void* p : parts) {
        const std::unique_ptr<AcDbEntity> part(static_cast<AcDbEntity*>(p));
        const Shape s = shapeOf(*part);
        out.insert(out.end(), s.points.begin(), s.points.end());
    }
    return out;
}

AcGePoint3d itemPoint(const AcDbEntity& e, int code) {
    double v[3] = {0, 0, 0};
    for (const auto& chunk : e.foreignData()->chunks())
        for (const auto& item : chunk.items)
            for (int k = 0; k < 3; ++k)
                if (item.code == code + 10 * k) v[k] = hostrx::numberOrZero(item.value);
    return {v[0], v[1], v[2]};
}

AcGeVector3d itemNormal(const AcDbEntity& e) {
    const AcGeVector3d n = itemPoint(e, 210).asVector();
    return n.isZeroLength() ? AcGeVector3d::kZAxis : n;
}

double itemReal(const AcDbEntity& e, int code) { return itemPoint(e, code).x; }

Shape ellipseShape(const AcDbEntity& e) {
    const AcGePoint3d c = itemPoint(e, 10);
    const AcGeVector3d major = itemPoint(e, 11).asVector(), n = itemNormal(e);
    const AcGeVector3d minor = n.crossProduct(major) * itemReal(e, 40);
    Shape s;
    const double from = itemReal(e, 41), to = itemReal(e, 42);
    for (double t : {from, (from + to) / 2, to}) s.points.push_back(c + major * std::cos(t) + minor * std::sin(t));
    s.normal = n;
    return s;
}

Shape solidShape(const AcDbEntity& e) {
    const auto frame = AcGePlaneFrame::fromNormal(itemNormal(e));
    Shape s;
    for (int code = 10; code <= 13; ++code) s.points.push_back(frame.toWorld(itemPoint(e, code)));
    s.normal = itemNormal(e);
    return s;
}

Shape textShape(const AcDbText& t) {
    const auto f = AcGePlaneFrame::fromNormal(t.normal());
    const AcGeVector3d along = f.direction(t.rotation()) * t.height() * t.widthFactor();
    const AcGeVector3d up = f.direction(t.rotation() + std::numbers::pi / 2) * t.height();
    return {{t.position(), t.alignmentPoint(), t.position() + along, t.position() + up}, t.normal()};
}

Shape referenceShape(const AcDbBlockReference& ref) {
    Shape s{partPoints(ref), ref.normal()};
    for (AcDbObjectId id : ref.attributeIds()) {
        const Shape a = textShape(*AcDbAttribute::cast(id.slot()->object));
        s.points.insert(s.points.end(), a.points.begin(), a.points.end());
    }
    return s;
}

Shape shapeOf(const AcDbEntity& e) {
    if (const auto* line = AcDbLine::cast(&e)) return {{line->startPoint(), line->endPoint()}, line->normal()};
    if (const auto* arc = AcDbArc::cast(&e)) {
        Shape s{{arc->center()}, arc->normal()};
        addArcPoints(*arc, s.points);
        return s;
    }
    if (const auto* circle = AcDbCircle::cast(&e)) return {{circle->center()}, circle->normal()};
    if (const auto* point = AcDbPoint::cast(&e)) return {{point->position()}, point->normal()};
    if (const auto* pl = AcDbPolyline::cast(&e)) return {partPoints(*pl), pl->normal()};
    if (const auto* text = AcDbText::cast(&e)) return textShape(*text);
    if (const auto* mt = AcDbMText::cast(&e))
        return {{mt->location(), mt->location() + mt->direction() * mt->textHeight(),
                 mt->location() + mt->normal().crossProduct(mt->direction()) * mt->textHeight()},
                mt->normal()};
    if (const auto* ref = AcDbBlockReference::cast(&e)) return referenceShape(*ref);
    if (const auto* dim = AcDbDimension::cast(&e)) {
        Shape s{partPoints(*dim), dim->normal()};
        s.points.push_back(dim->definitionPoint());
        return s;
    }
    if (const auto* leader = AcDbLeader::cast(&e)) return {leader->vertices(), leader->normal()};
    if (const auto* foreign = AcDbForeignEntity::cast(&e))
        return foreign->dxfName() == "ELLIPSE" ? ellipseShape(e) : solidShape(e);
    ADD_FAILURE() << "no shape for this kind";
    return {};
}

hostdb::FilerItems items(std::initializer_list<std::pair<int, double>> values) {
    hostdb::FilerItems out;
    for (const auto& [code, v] : values) out.push_back({code, hostrx::formatNumber(v)});
    return out;
}

// One entity of every kind the host models, and the foreign kinds it can place, each
// appended to the model space of db.
struct Kind {
    const char* name;
    std::function<AcDbEntity*(AcDbDatabase&)> make;
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

AcDbEntity* foreign(const char* kind, const char* subclass, hostdb::FilerItems data) {
    auto* e = new AcDbForeignEntity(kind);
    e->foreign().chunk(subclass) = std::move(data);
    return e;
}

const Kind kKinds[] = {
    {"line", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbLine({1, 0, 0}, {4, 3, 2}); }},
    {"circle", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbCircle({2, 3, 0}, AcGeVector3d::kZAxis, 1.5); }},
    {"arc", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbArc({2, 3, 0}, 2, 0.0, std::numbers::pi / 2); }},
    {"polyline with bulges", polylineWithBulge},
    {"point", [](AcDbDatabase&) -> AcDbEntity* { return new AcDbPoint({3, 1, 0}); }},
    {"text aligned to a point", alignedText},
    {"mtext", multilineText},
    {"block reference with an attribute", referenceWithAttribute},
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

const Transform kTransforms[] = {
    {"half-turn about y = 1", AcGeMatrix3d::mirroring(AcGeLine3d(AcGePoint3d(0, 1, 0), AcGePoint3d(10, 1, 0)))},
    {"half-turn about a slanted line", AcGeMatrix3d::mirroring(AcGeLine3d(AcGePoint3d(5, 0, 0), AcGePoint3d(5, 2, 4)))},
    {"reflection in the plane x = 5", reflectionInPlaneX5()},
};

Shape residentShape(AcDbObjectId id) {
    AcDbEntity* e = nullptr;
    EXPECT_EQ(acdbOpenObject(e, id, AcDb::kForRead), Acad::eOk);
    Shape s = shapeOf(*e);
    e->close();
    return s;
}

// Every kind, mirrored, lands where its points are mirrored to; a half-turn reverses the
// normal of a planar entity lying in the XY plane.
TEST(Mirroring, EveryKindFollowsItsPoints) {
    for (const auto& kind : kKinds)
        for (const auto& t : kTransforms) {
            SCOPED_TRACE(std::string(kind.name) + ", " + t.name);
            AcDbDatabase db;
            acdbHostApplicationServices()->setWorkingDatabase(&db);
            const AcDbObjectId id = appendToModel(db, kind.make(db));
            const Shape before = residentShape(id);
            AcDbEntity* e = nullptr;
            ASSERT_EQ(acdbOpenObject(e, id, AcDb::kForWrite), Acad::eOk);
            EXPECT_EQ(e->transformBy(t.matrix), Acad::eOk);
            e->close();
            const Shape after = residentShape(id);
            ASSERT_EQ(after.points.size(), before.points.size());
            for (std::size_t i = 0; i < before.points.size(); ++i)
                EXPECT_TRUE(after.points[i].isEqualTo(t.matrix * before.points[i], AcGeTol{1e-9, 1e-9}))
                    << "point " << i;
            if (t.matrix.det() > 0 && before.normal) {
                EXPECT_TRUE(after.normal->isEqualTo((t.matrix * *before.normal).normal(), AcGeTol{1e-9, 1e-9}));
            }
            acdbHostApplicationServices()->setWorkingDatabase(nullptr);
        }
}

// A copy of a dimension shares its geometry block; turning the copy gives it a block
// of its own and leaves the original as it was drawn.
TEST(Mirroring, TurnedDimensionCopyLeavesTheSharedBlockAlone) {
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
