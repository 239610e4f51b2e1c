// The editor with a person's input: drag samples, the pick box a click brings, and
// lines a prompt cannot take. A fake source plays the person.

#include "db/curves.h"
#include "ed/commandline.h"
#include "ed/dragdisplay.h"
#include "ed/draggen.h"
#include "ed/editor.h"
#include "ed/entitypicks.h"
#include "ed/jig.h"
#include "ed/pointinput.h"
#include "ed/prompts.h"
#include "ed/selection.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

using hosted::InputLine;
using hosted::Request;

class FakePerson : public hosted::InputSource {
public:
    explicit FakePerson(std::deque<InputLine> lines, bool person = true) : m_lines(std::move(lines)), m_person(person) {}
    using InputSource::next;
    std::optional<InputLine> next(Request request) override {
        requests.push_back(request);
        if (m_lines.empty()) return std::nullopt;
        InputLine line = std::move(m_lines.front());
        m_lines.pop_front();
        return line;
    }
    std::wstring name() const override { return L"input"; }
    bool interactive() const override { return m_person; }
    std::vector<Request> requests;

private:
    std::deque<InputLine> m_lines;
    bool m_person;
};

InputLine sample(const wchar_t* text) { return {text, 0, 0.0, true}; }

class RecordingDisplay : public hosted::DragDisplay {
public:
    void begin() override { ++begun; }
    void present(const std::vector<const AcDbEntity*>& extra) override {
        ++frames;
        lastExtra = extra.size();
    }
    void end() override { ++ended; }
    int begun = 0, frames = 0, ended = 0;
    std::size_t lastExtra = 0;
};

// A line whose end follows the cursor.
class EndPointJig : public AcEdJig {
public:
    EndPointJig() { setDispPrompt(L"\nEnd point: "); }
    DragStatus sampler() override {
        const DragStatus status = acquirePoint(m_cursor);
        return status;
    }
    Adesk::Boolean update() override {
        ++updates;
        m_line.setEndPoint(m_cursor);
        return true;
    }
    AcDbEntity* entity() const override { return const_cast<AcDbLine*>(&m_line); }
    AcGePoint3d end() const { return m_line.endPoint(); }
    int updates = 0;

private:
    AcGePoint3d m_cursor;
    AcDbLine m_line{{0, 0, 0}, {0, 0, 0}};
};

class PersonInput : public ::testing::Test {
protected:
    void SetUp() override {
        acdbHostApplicationServices()->setWorkingDatabase(&db);
        // Extents of 800 units: the host's rule gives a pick box of 3 units.
        appendToModel(db, new AcDbLine({0, 0, 0}, {800, 0, 0}));
        hosted::CommandLine::instance().clear();
        hosted::Editor::instance().clearFailure();
        hosted::setDragDisplay(&display);
    }
    void TearDown() override {
        hosted::setDragDisplay(nullptr);
        hosted::Editor::instance().setInput(nullptr);
        hosted::Editor::instance().clearFailure();
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }
    void use(FakePerson& person) { hosted::Editor::instance().setInput(&person); }
    static const std::wstring& transcript() { return hosted::CommandLine::instance().transcript(); }

    AcDbDatabase db;
    RecordingDisplay display;
};

TEST_F(PersonInput, JigFollowsSamplesAndEndsOnTheFinalLine) {
    FakePerson person({sample(L"1,1"), sample(L"2,2"), sample(L"3,3"), {L"4,5"}});
    use(person);
    EndPointJig jig;
    EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
    EXPECT_EQ(jig.updates, 4);
    EXPECT_EQ(jig.end(), AcGePoint3d(4, 5, 0));
    // The prompt once, the samples unsaid, the final answer echoed.
    EXPECT_EQ(transcript(), L"\nEnd point: 4,5");
    EXPECT_EQ(display.begun, 1);
    EXPECT_EQ(display.frames, 4);
    EXPECT_EQ(display.ended, 1);
    for (Request r : person.requests) EXPECT_EQ(r, Request::drag);
}

TEST_F(PersonInput, EscapeDuringSamplesCancelsTheJigAndEndsTheDisplay) {
    FakePerson person({sample(L"1,1"), {L"^C"}});
    use(person);
    EndPointJig jig;
    EXPECT_EQ(jig.drag(), AcEdJig::kCancel);
    EXPECT_EQ(transcript(), L"\nEnd point: ^C");
    EXPECT_EQ(display.ended, 1);
}

TEST_F(PersonInput, SamplesOutsideADragAreTakenAsFinal) {
    FakePerson person({sample(L"7,8")});
    use(person);
    ads_point p = {0, 0, 0};
    EXPECT_EQ(acedGetPoint(nullptr, L"\nPoint: ", p), RTNORM);
    EXPECT_EQ(transcript(), L"\nPoint: 7,8");
    EXPECT_EQ(person.requests, std::vector<Request>{Request::point});
}

int moveBy(ads_point cursor, ads_matrix transform) {
    for (unsigned r = 0; r < 3; ++r) transform[r][3] = cursor[r];
    return RTNORM;
}

TEST_F(PersonInput, DragGenShowsTheSelectionPlacedByEachSample) {
    FakePerson person({sample(L"1,0"), sample(L"2,0"), {L"3,0"}});
    use(person);
    ads_name all = {0, 0};
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, all), RTNORM);
    ads_point to = {0, 0, 0};
    EXPECT_EQ(acedDragGen(all, L"\nTo: ", 0, &moveBy, to), RTNORM);
    acedSSFree(all);
    EXPECT_EQ(to[0], 3.0);
    EXPECT_EQ(display.frames, 2);
    EXPECT_EQ(display.lastExtra, 1u);
    EXPECT_EQ(display.ended, 1);
    EXPECT_EQ(transcript(), L"\nTo: 3,0");
}

// A click 2 units beside the line: inside a pick box of 3 units (the host's rule for
// this drawing), outside the 1-unit box of a view zoomed in.
TEST_F(PersonInput, PicksUseThePickBoxTheClickBrings) {
    const struct {
        const char* name;
        double aperture;
        int expected;
    } cases[] = {
        {"host's rule", 0.0, RTNORM},
        {"zoomed-in view", 1.0, RTERROR},
        {"zoomed-out view", 10.0, RTNORM},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePerson entSel({{L"400,2", 0, c.aperture}});
        use(entSel);
        ads_name e = {0, 0};
        ads_point p = {0, 0, 0};
        EXPECT_EQ(acedEntSel(nullptr, e, p), c.expected);

        FakePerson nested({{L"400,2", 0, c.aperture}});
        use(nested);
        ads_matrix xform;
        resbuf* refs = nullptr;
        EXPECT_EQ(acedNEntSelP(nullptr, e, p, 0, xform, &refs), c.expected);
        acutRelRb(refs);

        FakePerson selecting({{L"400,2", 0, c.aperture}, {L""}});
        use(selecting);
        ads_name ss = {0, 0};
        EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, ss), c.expected);
        if (c.expected == RTNORM) acedSSFree(ss);
        EXPECT_EQ(selecting.requests.front(), Request::selection);
    }
}

TEST_F(PersonInput, ARejectedLineIsSaidToAPersonOnly) {
    for (const bool person : {true, false}) {
        SCOPED_TRACE(person ? "person" : "script");
        hosted::CommandLine::instance().clear();
        hosted::Editor::instance().clearFailure();
        FakePerson source({{L"abc"}}, person);
        use(source);
        ads_point p = {0, 0, 0};
        EXPECT_EQ(acedGetPoint(nullptr, L"\nPoint: ", p), RTCAN);
        EXPECT_TRUE(hosted::Editor::instance().failed());
        const bool said = transcript().find(L"\nInvalid input: expected a point (x,y or x,y,z).") != std::wstring::npos;
        EXPECT_EQ(said, person);
    }
}

TEST(PointText, ShortestTextThatReadsBackExactly) {
    const struct {
        AcGePoint3d point;
        const wchar_t* text;
    } cases[] = {
        {{3, 4, 0}, L"3,4"},
        {{-0.5, 12.25, 0}, L"-0.5,12.25"},
        {{0.1, 1e21, 0}, L"0.1,1e+21"},
        {{1, 2, 3}, L"1,2,3"},
    };
    for (const auto& c : cases) EXPECT_EQ(hosted::pointText(c.point), c.text);
    const AcGePoint3d third(1.0 / 3.0, -2.0 / 3.0, 0);
    const auto back = hosted::parsePoint(hosted::pointText(third));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->x, third.x);
    EXPECT_EQ(back->y, third.y);
}

}  // namespace
