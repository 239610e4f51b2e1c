#include "db/blockreference.h"
#include "db/curves.h"
#include "db/foreignentity.h"
#include "db/text.h"
#include "ed/commandline.h"
#include "ed/draggen.h"
#include "ed/editor.h"
#include "ed/entitypicks.h"
#include "ed/selection.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

AcDbObjectId idOf(const ads_name name) {
    AcDbObjectId id;
    acdbGetObjectId(id, name);
    return id;
}

// Model space: a line along y = -5; "MID" turned by 90 degrees and scaled 2 at (20,0),
// holding "LEAF" at (3,0), which holds a line (0,0)-(2,0), so the line shows from
// (20,6) to (20,10); "TAGGED" (a circle around (0,3) and the attribute "42" at (0,-2))
// at (40,0); "HOLDER" at (60,0), holding a "TAGGED" reference with an attribute of its own.
class Picking : public ::testing::Test {
public:
    AcDbObjectId line, leafLine, leafRef, midRef, tagged, attribute, circle, heldTagged, heldAttribute, holder;

protected:
    void SetUp() override {
        acdbHostApplicationServices()->setWorkingDatabase(&db);
        line = appendToModel(db, new AcDbLine({0, -5, 0}, {10, -5, 0}));
        const AcDbObjectId leaf = addBlock(db, L"LEAF"), mid = addBlock(db, L"MID");
        leafLine = appendTo(leaf, new AcDbLine({0, 0, 0}, {2, 0, 0}));
        leafRef = appendTo(mid, new AcDbBlockReference({3, 0, 0}, leaf));
        auto* turned = new AcDbBlockReference({20, 0, 0}, mid);
        turned->setRotation(std::numbers::pi / 2);
        turned->setScaleFactors({2, 2, 2});
        midRef = appendToModel(db, turned);

        const AcDbObjectId taggedBlock = addBlock(db, L"TAGGED"), holderBlock = addBlock(db, L"HOLDER");
        circle = appendTo(taggedBlock, new AcDbCircle({0, 3, 0}, AcGeVector3d::kZAxis, 1));
        tagged = withAttribute(db.modelSpaceId(), {40, 0, 0}, taggedBlock, attribute);
        heldTagged = withAttribute(holderBlock, {0, 0, 0}, taggedBlock, heldAttribute);
        holder = appendToModel(db, new AcDbBlockReference({60, 0, 0}, holderBlock));
        hosted::CommandLine::instance().clear();
    }
    void TearDown() override {
        hosted::Editor::instance().setInput(nullptr);
        hosted::Editor::instance().clearFailure();
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }

    // A reference of block in space at position, with the attribute "42" 2 below it.
    AcDbObjectId withAttribute(AcDbObjectId space, const AcGePoint3d& position, AcDbObjectId block,
                               AcDbObjectId& attributeId) {
        auto* ref = new AcDbBlockReference(position, block);
        const AcDbObjectId refId = appendTo(space, ref);
        AcDbBlockReference* open = nullptr;
        EXPECT_EQ(acdbOpenObject(open, refId, AcDb::kForWrite), Acad::eOk);
        auto* attr = new AcDbAttribute();
        attr->setPosition(position + AcGeVector3d(0, -2, 0));
        attr->setHeight(1);
        attr->setTextString(L"42");
        EXPECT_EQ(open->appendAttribute(attributeId, attr), Acad::eOk);
        attr->close();
        open->close();
        return refId;
    }

    struct NestedPick {
        int rc = RTERROR;
        AcDbObjectId entity;
        std::vector<AcDbObjectId> references;
        AcGeMatrix3d toWorld;
    };

    NestedPick pickNested(const std::string& script) {
        std::istringstream in(script);
        hosted::ScriptInput input(in, L"pick.scr");
        hosted::Editor::instance().setInput(&input);
        NestedPick pick;
        ads_name name = {0, 0};
        ads_point at = {0, 0, 0};
        ads_matrix m;
        resbuf* stack = nullptr;
        pick.rc = acedNEntSelP(L"\nSelect: ", name, at, 0, m, &stack);
        if (pick.rc == RTNORM) {
            pick.entity = idOf(name);
            for (unsigned r = 0; r < 4; ++r)
                for (unsigned c = 0; c < 4; ++c) pick.toWorld(r, c) = m[r][c];
        }
        for (const resbuf* rb = stack; rb; rb = rb->rbnext) {
            EXPECT_EQ(rb->restype, RTENAME);
            pick.references.push_back(idOf(rb->resval.rlname));
        }
        acutRelRb(stack);
        return pick;
    }

    AcDbDatabase db;
};

TEST_F(Picking, NestedPickGivesTheEntityAndItsReferencesInnermostFirst) {
    using Ids = std::vector<AcDbObjectId Picking::*>;
    const struct {
        const char* name;
        const char* pick;
        AcDbObjectId Picking::*entity;
        Ids references;
        AcGePoint3d worldOfOrigin;  // where the entity's coordinate origin shows
    } cases[] = {
        {"an entity of the space", "5,-5", &Picking::line, {}, {0, 0, 0}},
        {"a line two levels deep", "20,8", &Picking::leafLine, {&Picking::leafRef, &Picking::midRef}, {20, 6, 0}},
        {"an attribute of a reference in the space", "40.5,-1.5", &Picking::attribute, {}, {0, 0, 0}},
        {"an attribute of a nested reference lies in its holder's block", "0.5,-1.5", nullptr, {}, {}},
        {"an attribute of a nested reference", "60.5,-1.5", &Picking::heldAttribute, {&Picking::holder},
         {60, 0, 0}},
        {"geometry of the nested reference under its attribute", "61,3", &Picking::circle,
         {&Picking::heldTagged, &Picking::holder}, {60, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const NestedPick pick = pickNested(std::string(c.pick) + "\n");
        if (!c.entity) {
            EXPECT_EQ(pick.rc, RTERROR);
            continue;
        }
        ASSERT_EQ(pick.rc, RTNORM);
        EXPECT_EQ(pick.entity, this->*c.entity);
        std::vector<AcDbObjectId> expected;
        for (auto member : c.references) expected.push_back(this->*member);
        EXPECT_EQ(pick.references, expected);
        EXPECT_TRUE((pick.toWorld * AcGePoint3d::kOrigin).isEqualTo(c.worldOfOrigin));
    }
}

// An open old-style 2D polyline through the points, as a drawing file keeps it: its
// header holds a placeholder point at the origin.
AcDbEntity* oldPolyline(std::initializer_list<AcGePoint2d> points) {
    auto* pl = new AcDbForeignEntity("POLYLINE");
    pl->foreign().chunk("AcDb2dPolyline") = {{66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "0"}};
    for (const auto& p : points)
        pl->followers().push_back({{0, "VERTEX"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbVertex"},
                                   {100, "AcDb2dVertex"}, {10, std::to_string(p.x)}, {20, std::to_string(p.y)},
                                   {30, "0"}, {70, "0"}});
    pl->followers().push_back({{0, "SEQEND"}, {100, "AcDbEntity"}, {8, "0"}});
    return pl;
}

// Old-style polylines drawn over the rest: an L from (20,-20) over (30,-20) to (30,-10)
// in the space, and one in a block whose reference at (80,0), turned by 90 degrees,
// shows it from (80,0) over (80,10) to (70,10). Only their segments take picks: neither
// the placeholder point at the origin nor the empty corner of the L does.
TEST_F(Picking, OldStylePolylineIsPickedOnItsSegmentsOnly) {
    const AcDbObjectId spaced = appendToModel(db, oldPolyline({{20, -20}, {30, -20}, {30, -10}}));
    const AcDbObjectId block = addBlock(db, L"OLDPL");
    const AcDbObjectId nested = appendTo(block, oldPolyline({{0, 0}, {10, 0}, {10, 10}}));
    auto* ref = new AcDbBlockReference({80, 0, 0}, block);
    ref->setRotation(std::numbers::pi / 2);
    const AcDbObjectId turned = appendToModel(db, ref);
    const struct {
        const char* name;
        const char* pick;
        AcDbObjectId entity;
        std::vector<AcDbObjectId> references;
    } cases[] = {
        {"the line that the polyline's old box covered", "5,-5", line, {}},
        {"a segment of the polyline", "25,-20", spaced, {}},
        {"the empty corner of the L", "22,-12", {}, {}},
        {"a segment of the turned polyline", "80,5", nested, {turned}},
        {"the empty corner of the turned L", "76,4", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const NestedPick pick = pickNested(std::string(c.pick) + "\n");
        if (c.entity.isNull()) {
            EXPECT_EQ(pick.rc, RTERROR);
            continue;
        }
        ASSERT_EQ(pick.rc, RTNORM);
        EXPECT_EQ(pick.entity, c.entity);
        EXPECT_EQ(pick.references, c.references);
    }
}

// The ellipse that an unevenly scaled circle bursts into is picked on its curve, not
// anywhere in its box.
TEST_F(Picking, EllipseIsPickedOnItsCurve) {
    auto* ellipse = new AcDbForeignEntity("ELLIPSE");
    ellipse->foreign().chunk("AcDbEllipse") = {{10, "100"}, {20, "-20"}, {30, "0"}, {11, "6"}, {21, "0"}, {31, "0"},
                                               {40, "0.5"}, {41, "0"}, {42, "6.283185307179586"}};
    const AcDbObjectId id = appendToModel(db, ellipse);
    const struct {
        const char* name;
        const char* pick;
        bool hit;
    } cases[] = {{"the end of its major axis", "106,-20", true},
                 {"the end of its minor axis", "100,-17", true},
                 {"its centre", "100,-20", false},
                 {"a corner of its box", "105.5,-17.5", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const NestedPick pick = pickNested(std::string(c.pick) + "\n");
        EXPECT_EQ(pick.rc == RTNORM && pick.entity == id, c.hit);
    }
}

TEST_F(Picking, OldStylePolylineExtentsAreItsVertices) {
    const std::unique_ptr<AcDbEntity> pl(oldPolyline({{20, -20}, {30, -20}, {30, -10}}));
    AcDbExtents box;
    ASSERT_EQ(pl->getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(box.minPoint().isEqualTo({20, -20, 0}));
    EXPECT_TRUE(box.maxPoint().isEqualTo({30, -10, 0}));
}

TEST_F(Picking, MissesEmptyAnswersAndEscape) {
    const struct {
        const char* name;
        const char* script;
        int rc;
    } cases[] = {
        {"a pick that hits nothing", "100,100\n", RTERROR},
        {"an empty answer", "\n", RTERROR},
        {"Escape", "^C\n", RTCAN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hosted::CommandLine::instance().clear();
        const NestedPick pick = pickNested(c.script);
        EXPECT_EQ(pick.rc, c.rc);
        EXPECT_TRUE(pick.references.empty());
        EXPECT_FALSE(hosted::Editor::instance().failed());
        // Nothing is printed beyond the prompt and the answer.
        EXPECT_EQ(hosted::CommandLine::instance().transcript(),
                  L"\nSelect: " + std::wstring(c.script, c.script + std::char_traits<char>::length(c.script) - 1));
    }
    pickNested("x\n");
    EXPECT_EQ(hosted::Editor::instance().failure(), L"pick.scr:1: \"x\" is not a pick point (x,y or x,y,z)");
}

TEST_F(Picking, GivenPickPointIsUsedWithoutAsking) {
    ads_name name = {0, 0};
    ads_point at = {20, 8, 0};
    resbuf* stack = nullptr;
    ads_matrix m;
    ASSERT_EQ(acedNEntSelP(L"\nSelect: ", name, at, 1, m, &stack), RTNORM);
    EXPECT_EQ(idOf(name), leafLine);
    EXPECT_TRUE(hosted::CommandLine::instance().transcript().empty());
    acutRelRb(stack);
}

TEST_F(Picking, EntSelTakesTheTopLevelEntity) {
    std::istringstream in("20,8\n100,100\n");
    hosted::ScriptInput input(in, L"pick.scr");
    hosted::Editor::instance().setInput(&input);
    ads_name name = {0, 0};
    ads_point at = {0, 0, 0};
    ASSERT_EQ(acedEntSel(nullptr, name, at), RTNORM);
    EXPECT_EQ(idOf(name), midRef);
    EXPECT_EQ(at[1], 8.0);
    EXPECT_EQ(acedEntSel(nullptr, name, at), RTERROR);
    EXPECT_EQ(hosted::CommandLine::instance().transcript(), L"\nSelect object: 20,8\nSelect object: 100,100");
}

// The sampler's record of what the drag showed.
struct Samples {
    static inline std::vector<AcGePoint3d> points;
    static inline int answer = RTNORM;
    static int sample(ads_point cursor, ads_matrix m) {
        points.emplace_back(cursor[0], cursor[1], cursor[2]);
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c) EXPECT_EQ(m[r][c], r == c ? 1.0 : 0.0) << "the matrix arrives as the identity";
        return answer;
    }
};

TEST_F(Picking, DragCallsTheSamplerWithTheAnsweredPoint) {
    const struct {
        const char* name;
        const char* script;
        int samplerAnswer;
        int rc;
        std::size_t samples;
    } cases[] = {
        {"a point ends the drag", "3,4\n", RTNORM, RTNORM, 1},
        {"a sampler that shows nothing new", "3,4\n", RTNONE, RTNORM, 1},
        {"a sampler that fails", "3,4\n", RTERROR, RTERROR, 1},
        {"an empty answer", "\n", RTNORM, RTNONE, 0},
        {"Escape", "^C\n", RTNORM, RTCAN, 0},
    };
    ads_name entity = {0, 0}, set = {0, 0};
    ASSERT_EQ(acdbGetAdsName(entity, line), Acad::eOk);
    ASSERT_EQ(acedSSAdd(entity, nullptr, set), RTNORM);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.script);
        hosted::ScriptInput input(in, L"drag.scr");
        hosted::Editor::instance().setInput(&input);
        Samples::points.clear();
        Samples::answer = c.samplerAnswer;
        ads_point to = {0, 0, 0};
        EXPECT_EQ(acedDragGen(set, L"\nTo: ", 0, &Samples::sample, to), c.rc);
        ASSERT_EQ(Samples::points.size(), c.samples);
        if (c.samples) {
            EXPECT_TRUE(Samples::points[0].isEqualTo({3, 4, 0}));
        }
        if (c.rc == RTNORM) {
            EXPECT_EQ(to[1], 4.0);
        }
    }
    acedSSFree(set);
    hosted::CommandLine::instance().clear();
    ads_point to = {0, 0, 0};
    EXPECT_EQ(acedDragGen(set, L"\nTo: ", 0, &Samples::sample, to), RTERROR) << "a freed set";
    EXPECT_TRUE(hosted::CommandLine::instance().transcript().empty()) << "nothing is asked";
}

}  // namespace
