#include "db/curves.h"
#include "db/mtext.h"
#include "db/layertable.h"
#include "db/text.h"
#include "ed/commandline.h"
#include "ed/editor.h"
#include "ed/filerequest.h"
#include "ed/prompts.h"
#include "ed/selection.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

// A small drawing: a line, a circle, a text and an mtext side by side along the X axis.
class Selecting : public ::testing::Test {
public:
    AcDbObjectId line, circle, text, mtext;

protected:
    void SetUp() override {
        acdbHostApplicationServices()->setWorkingDatabase(&db);
        line = appendToModel(db, new AcDbLine({0, 0, 0}, {10, 0, 0}));
        circle = appendToModel(db, new AcDbCircle({20, 0, 0}, AcGeVector3d::kZAxis, 2));
        text = appendToModel(db, new AcDbText({30, 0, 0}, L"Hello", AcDbObjectId::kNull, 1.0));
        auto* m = new AcDbMText();
        m->setLocation({40, 0, 0});
        m->setContents(L"Notes");
        mtext = appendToModel(db, m);
        hosted::CommandLine::instance().clear();
        hosted::Editor::instance().clearFailure();
    }
    void TearDown() override {
        hosted::Editor::instance().setInput(nullptr);
        hosted::Editor::instance().clearFailure();
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }

    // Runs acedSSGet on the script text; the chosen ids in selection order.
    int select(const std::string& script, std::vector<AcDbObjectId>& chosen, const ACHAR* type = nullptr) {
        std::istringstream in(script);
        hosted::ScriptInput input(in, L"test.scr");
        hosted::Editor::instance().setInput(&input);
        resbuf* filter = type ? acutBuildList(RTDXF0, type, 0) : nullptr;
        ads_name ss = {0, 0};
        const int rc = acedSSGet(nullptr, nullptr, nullptr, filter, ss);
        acutRelRb(filter);
        chosen.clear();
        if (rc == RTNORM) {
            Adesk::Int32 n = 0;
            acedSSLength(ss, &n);
            for (Adesk::Int32 i = 0; i < n; ++i) {
                ads_name e;
                acedSSName(ss, i, e);
                AcDbObjectId id;
                acdbGetObjectId(id, e);
                chosen.push_back(id);
            }
            acedSSFree(ss);
        }
        hosted::Editor::instance().setInput(nullptr);
        return rc;
    }

    AcDbDatabase db;
};

TEST_F(Selecting, PicksWindowsCrossingsAndAll) {
    const struct {
        const char* name;
        const char* script;
        std::vector<AcDbObjectId Selecting::*> expected;
    } cases[] = {
        {"pick on the line", "5,0.01\n\n", {&Selecting::line}},
        {"pick on the circle's edge", "22,0\n\n", {&Selecting::circle}},
        {"pick inside a text box", "30.5,0.5\n\n", {&Selecting::text}},
        {"window takes what lies wholly inside", "W -1,-3 23,3\n\n", {&Selecting::line, &Selecting::circle}},
        {"window misses what sticks out", "W 1,-3 23,3\n\n", {&Selecting::circle}},
        {"crossing takes what it touches", "C 9,-1 18.5,1\n\n", {&Selecting::line, &Selecting::circle}},
        {"crossing inside the circle touches nothing", "C 19.5,-0.5 20.5,0.5\n\n", {}},
        {"all, and a second pick adds no duplicate", "ALL\n5,0\n\n",
         {&Selecting::line, &Selecting::circle, &Selecting::text, &Selecting::mtext}},
    };
    for (const auto& c : cases) {
        std::vector<AcDbObjectId> chosen;
        const int rc = select(c.script, chosen);
        std::vector<AcDbObjectId> expected;
        for (auto member : c.expected) expected.push_back(this->*member);
        EXPECT_EQ(rc, expected.empty() ? RTERROR : RTNORM) << c.name;
        EXPECT_EQ(chosen, expected) << c.name;
        EXPECT_FALSE(hosted::Editor::instance().failed()) << c.name;
    }
    EXPECT_EQ(hosted::openSelectionSets(), 0u);
}

// What a person cannot see cannot be picked or windowed: entities on a layer that is off
// are found by ALL only, those on a frozen layer not at all.
TEST_F(Selecting, HiddenLayersKeepTheirEntitiesFromPicksAndWindows) {
    const auto layerNamed = [&](const wchar_t* name, bool off, bool frozen) {
        AcDbLayerTable* layers = nullptr;
        EXPECT_EQ(acdbOpenObject(layers, db.layerTableId(), AcDb::kForWrite), Acad::eOk);
        auto* layer = new AcDbLayerTableRecord();
        layer->setName(name);
        layer->setIsOff(off);
        layer->setIsFrozen(frozen);
        AcDbObjectId id;
        EXPECT_EQ(layers->add(id, layer), Acad::eOk);
        layer->close();
        layers->close();
    };
    const auto moveTo = [](AcDbObjectId id, const wchar_t* layer) {
        AcDbEntity* e = nullptr;
        ASSERT_EQ(acdbOpenObject(e, id, AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(e->setLayer(layer), Acad::eOk);
        e->close();
    };
    layerNamed(L"OFF", true, false);
    layerNamed(L"FROZEN", false, true);
    moveTo(circle, L"OFF");
    moveTo(text, L"FROZEN");
    const struct {
        const char* name;
        const char* script;
        std::vector<AcDbObjectId Selecting::*> expected;
    } cases[] = {
        {"pick on the circle of the layer that is off", "22,0\n\n", {}},
        {"pick in the frozen text", "30.5,0.5\n\n", {}},
        {"window over all four", "W -1,-10 80,10\n\n", {&Selecting::line, &Selecting::mtext}},
        {"crossing over the circle and the text", "C 18,-1 31,1\n\n", {}},
        {"all takes the layer that is off, not the frozen one", "ALL\n\n",
         {&Selecting::line, &Selecting::circle, &Selecting::mtext}},
    };
    for (const auto& c : cases) {
        std::vector<AcDbObjectId> chosen;
        select(c.script, chosen);
        std::vector<AcDbObjectId> expected;
        for (auto member : c.expected) expected.push_back(this->*member);
        EXPECT_EQ(chosen, expected) << c.name;
    }
}

TEST_F(Selecting, TypeFilterTakesTextsAndSaysWhatWasFilteredOut) {
    std::vector<AcDbObjectId> chosen;
    ASSERT_EQ(select("ALL\n\n", chosen, L"*TEXT"), RTNORM);
    EXPECT_EQ(chosen, (std::vector<AcDbObjectId>{text, mtext}));
    EXPECT_EQ(hosted::CommandLine::instance().transcript(),
              L"\nSelect objects: ALL\n4 found\nSelect objects: \n2 were filtered out.");
}

TEST_F(Selecting, EscapeCancelsAndBadInputFailsWithTheLine) {
    std::vector<AcDbObjectId> chosen;
    EXPECT_EQ(select("5,0\n^C\n", chosen), RTCAN);
    EXPECT_FALSE(hosted::Editor::instance().failed()) << "Escape is a cancel, not an error";

    EXPECT_EQ(select("5,0\nnonsense\n", chosen), RTCAN);
    EXPECT_EQ(hosted::Editor::instance().failure(),
              L"test.scr:2: \"nonsense\" is not a selection: a point, W x1,y1 x2,y2, C x1,y1 x2,y2 or ALL");
    hosted::Editor::instance().clearFailure();

    EXPECT_EQ(select("5,0\n", chosen), RTCAN);
    EXPECT_EQ(hosted::Editor::instance().failure(),
              L"test.scr: the input ended while the prompt \"Select objects: \" was waiting");
}

TEST(Prompts, PointsNumbersAndTexts) {
    std::istringstream in("1,2\n3,4,5\n\n2.5\nx\n");
    hosted::ScriptInput input(in, L"p.scr");
    hosted::Editor& editor = hosted::Editor::instance();
    editor.setInput(&input);
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"\nPoint: ", p), RTNORM);
    EXPECT_EQ(p[0], 1.0);
    EXPECT_EQ(p[2], 0.0);
    ASSERT_EQ(acedGetPoint(nullptr, L"\nPoint: ", p), RTNORM);
    EXPECT_EQ(p[2], 5.0);
    EXPECT_EQ(acedGetPoint(nullptr, L"\nPoint: ", p), RTNONE);
    ads_real r = 0;
    EXPECT_EQ(acedGetReal(L"\nScale: ", &r), RTNORM);
    EXPECT_EQ(r, 2.5);
    EXPECT_EQ(acedGetReal(L"\nScale: ", &r), RTCAN);
    EXPECT_EQ(editor.failure(), L"p.scr:5: \"x\" is not a number");
    EXPECT_EQ(acedGetReal(L"\nScale: ", &r), RTCAN) << "a failed editor cancels every prompt";
    editor.clearFailure();
    editor.setInput(nullptr);
}

// Without windows a file is asked for on the command line; with them, the chooser is
// asked whether an existing file or a new one is wanted.
TEST(Prompts, FileRequestsAnswerAStringOrCancel) {
    std::istringstream in("/tmp/a b.dwg\n\n\n^C\n");
    hosted::ScriptInput input(in, L"f.scr");
    hosted::Editor& editor = hosted::Editor::instance();
    editor.setInput(&input);
    hosted::CommandLine::instance().clear();
    resbuf* rb = acutNewRb(RTSTR);
    ASSERT_EQ(acedGetFileD(L"Select DWG file", nullptr, L"DWG", 2, rb), RTNORM);
    EXPECT_EQ(rb->restype, RTSTR);
    EXPECT_STREQ(rb->resval.rstring, L"/tmp/a b.dwg");
    acutRelRb(rb);
    rb = acutNewRb(RTSTR);
    EXPECT_EQ(acedGetFileD(L"Save as", L"/tmp/default.dwg", L"DWG", 1, rb), RTNORM) << "Enter takes the default";
    EXPECT_STREQ(rb->resval.rstring, L"/tmp/default.dwg");
    acutRelRb(rb);
    resbuf untouched{};
    EXPECT_EQ(acedGetFileD(L"Select DWG file", nullptr, L"DWG", 2, &untouched), RTCAN) << "Enter without a default";
    EXPECT_EQ(untouched.resval.rstring, nullptr);
    EXPECT_EQ(acedGetFileD(L"Select DWG file", nullptr, L"DWG", 2, &untouched), RTCAN);
    EXPECT_EQ(acedGetFileD(L"Select DWG file", nullptr, L"DWG", 2, nullptr), RTERROR);
    EXPECT_NE(hosted::CommandLine::instance().transcript().find(L"\nSave as </tmp/default.dwg>: "), std::wstring::npos);

    static hosted::FileChoice seen;
    hosted::setFileChooser([](const hosted::FileChoice& c) -> std::optional<std::wstring> {
        seen = c;
        return c.existing ? std::nullopt : std::optional<std::wstring>(L"/x/new.dwg");
    });
    EXPECT_EQ(acedGetFileD(L"Select DWG file", nullptr, L"DWG", 2, &untouched), RTCAN);
    EXPECT_EQ(seen.title, L"Select DWG file");
    EXPECT_EQ(seen.extension, L"DWG");
    rb = acutNewRb(RTSTR);
    EXPECT_EQ(acedGetFileD(L"New", L"n.dwg", L"DWG", 1, rb), RTNORM);
    EXPECT_FALSE(seen.existing);
    EXPECT_STREQ(rb->resval.rstring, L"/x/new.dwg");
    acutRelRb(rb);
    hosted::setFileChooser(nullptr);
    editor.clearFailure();
    editor.setInput(nullptr);
}

}  // namespace
