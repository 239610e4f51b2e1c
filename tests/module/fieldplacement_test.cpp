#include "ed/editor.h"
#include "fieldtab/fieldinsertion.h"
#include "fieldtab/leaderjig.h"
#include "modelspace.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <sstream>

namespace {

const std::wstring& transcript() { return hosted::CommandLine::instance().transcript(); }

// Every field the drawing holds, owned or not: an unowned one would still be saved.
std::vector<const AcDbField*> liveFields(AcDbDatabase& db) {
    std::vector<const AcDbField*> out;
    for (const auto& slot : db.objectSlots())
        if (const auto* f = AcDbField::cast(slot.object); f && !f->isErased()) out.push_back(f);
    return out;
}

std::wstring fieldCodeOf(const AcDbObject& obj) {
    const AcDbObjectId id = obj.getField(L"TEXT");
    const auto* field = id.isNull() ? nullptr : AcDbField::cast(id.slot()->object);
    return field ? field->getFieldCode(AcFd::kAddMarkers) : L"(none)";
}

// Answers every message box with OK and keeps what it said and whether the drawing was
// locked meanwhile.
class RecordingDriver : public hostui::ModalDriver {
public:
    void runDialog(CAdUiBaseDialog&) override {}
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT) override {
        boxes.push_back(L"[" + caption + L"] " + text);
        lockedMeanwhile = acDocManager->curDocument()->lockCount() > 0;
        return IDOK;
    }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest&) override { return std::nullopt; }

    std::vector<std::wstring> boxes;
    bool lockedMeanwhile = false;
};

// A fresh current drawing with custom properties, a text size of 3.5 and DIMSCALE 2.
class FieldPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        AcApDocument* doc = nullptr;
        std::wstring why;
        ASSERT_EQ(acDocManager->openDocument(L"", doc, why), Acad::eOk);
        document = doc;
        db = doc->database();
        db->setCustomProperties({{L"Owner", L"Ann"}, {L"Project No", L"P-17"}, {L"a%b{c}\\d", L"odd"}});
        db->setTextsize(3.5);
        db->setDimscale(2.0);
        hostui::setModalDriver(&driver);
        hosted::CommandLine::instance().clear();
    }
    void TearDown() override {
        hostui::setModalDriver(nullptr);
        hosted::Editor::instance().setInput(nullptr);
        hosted::Editor::instance().clearFailure();
        acDocManager->closeAll();
    }

    void place(const std::wstring& key, int mode, const std::string& script) {
        std::istringstream in(script);
        hosted::ScriptInput input(in, L"test.scr");
        hosted::Editor::instance().setInput(&input);
        placeField(nullptr, key, mode);
        hosted::Editor::instance().setInput(nullptr);
        EXPECT_FALSE(hosted::Editor::instance().failed()) << hosted::Editor::instance().failure();
        EXPECT_EQ(document->lockCount(), 0);
    }

    std::vector<AcDbMText*> mtexts() { return modelSpaceEntities<AcDbMText>(*db); }
    std::vector<AcDbLeader*> leaders() { return modelSpaceEntities<AcDbLeader>(*db); }

    void expectNothingPlaced() {
        EXPECT_TRUE(mtexts().empty());
        EXPECT_TRUE(leaders().empty());
        EXPECT_TRUE(liveFields(*db).empty()) << "no field may stay without its text";
        EXPECT_FALSE(document->isModified());
    }

    AcApDocument* document = nullptr;
    AcDbDatabase* db = nullptr;
    RecordingDriver driver;
};

TEST(FieldCode, KeyGoesInVerbatim) {
    const struct {
        const wchar_t* key;
        const wchar_t* code;
    } cases[] = {
        {L"Owner", L"%<\\AcVar CustomDP.Owner>%"},
        {L"Project No", L"%<\\AcVar CustomDP.Project No>%"},
        {L"a%b{c}\\d", L"%<\\AcVar CustomDP.a%b{c}\\d>%"},
        {L"Straße ÄÖ", L"%<\\AcVar CustomDP.Straße ÄÖ>%"},
        {L"", L"%<\\AcVar CustomDP.>%"},
    };
    for (const auto& c : cases) EXPECT_EQ(fieldCodeFor(c.key), c.code);
    EXPECT_FALSE(isFieldKey(L"A>%B"));
    EXPECT_TRUE(isFieldKey(L"A>B%"));
}

TEST_F(FieldPlacement, MTextGoesWhereThePointIsAndShowsTheProperty) {
    place(L"Owner", 0, "5,6,1\n");
    EXPECT_EQ(transcript(), L"\nSelect Point5,6,1");
    ASSERT_EQ(mtexts().size(), 1u);
    const AcDbMText* mt = mtexts()[0];
    EXPECT_TRUE(mt->location().isEqualTo({5, 6, 1})) << "3D points are taken";
    EXPECT_EQ(mt->textHeight(), 3.5) << "the drawing's text size, not a leader's";
    EXPECT_EQ(mt->attachment(), AcDbMText::kTopLeft);
    EXPECT_EQ(mt->contentsConst(), L"%<\\AcVar CustomDP.Owner>%");
    EXPECT_EQ(fieldCodeOf(*mt), L"%<\\AcVar CustomDP.Owner>%");
    EXPECT_EQ(mt->displayText(), L"Ann");
    EXPECT_EQ(liveFields(*db).size(), 1u);
    EXPECT_TRUE(document->isModified());
}

TEST_F(FieldPlacement, KeysWithBlanksAndOddCharactersShowTheirOwnValues) {
    place(L"Project No", 0, "0,0\n");
    place(L"a%b{c}\\d", 0, "0,9\n");
    place(L"Missing", 0, "0,18\n");
    ASSERT_EQ(mtexts().size(), 3u);
    EXPECT_EQ(mtexts()[0]->displayText(), L"P-17");
    EXPECT_EQ(mtexts()[1]->displayText(), L"odd");
    EXPECT_EQ(mtexts()[2]->displayText(), L"####");
}

TEST_F(FieldPlacement, CancelledMTextLeavesNoTextAndNoField) {
    for (const char* script : {"^C\n", "\n", "not a point\n"}) {
        place(L"Owner", 0, script);
        expectNothingPlaced();
    }
}

TEST_F(FieldPlacement, LeaderRunsThroughThePickedPointsToItsText) {
    place(L"Owner", 1, "1,1\n5,5\n9,2\n\n");
    EXPECT_EQ(transcript(),
              L"\nSpecify start point: 1,1\nSpecify next point: 5,5\nSpecify next point: 9,2\nSpecify next point: ");
    ASSERT_EQ(leaders().size(), 1u);
    ASSERT_EQ(mtexts().size(), 1u);
    const AcDbLeader* leader = leaders()[0];
    const AcDbMText* mt = mtexts()[0];
    ASSERT_EQ(leader->numVertices(), 3);
    EXPECT_TRUE(leader->vertexAt(0).isEqualTo({1, 1, 0}));
    EXPECT_TRUE(leader->vertexAt(2).isEqualTo({9, 2, 0}));
    EXPECT_FALSE(leader->isSplined());
    EXPECT_EQ(leader->annotationObjId(), mt->objectId());
    EXPECT_TRUE(mt->location().isEqualTo({9, 2, 0}));
    EXPECT_EQ(leader->dimscale(), 2.0) << "DIMSCALE";
    EXPECT_DOUBLE_EQ(mt->textHeight(), leader->dimtxt() * 2.0);
    EXPECT_EQ(mt->displayText(), L"Ann");
    EXPECT_EQ(fieldCodeOf(*mt), L"%<\\AcVar CustomDP.Owner>%");
    EXPECT_EQ(transcript().find(L"Failed"), std::wstring::npos);
}

TEST_F(FieldPlacement, TextSideFollowsTheLeadersDirection) {
    const struct {
        const char* script;
        AcDbMText::AttachmentPoint attachment;
    } cases[] = {
        {"9,0\n5,3\n1,1\n\n", AcDbMText::kMiddleRight},  // ends left of its start
        {"1,0\n5,3\n9,1\n\n", AcDbMText::kMiddleLeft},
        {"4,0\n8,3\n4,6\n\n", AcDbMText::kMiddleLeft},   // equal x
    };
    for (const auto& c : cases) {
        place(L"Owner", 1, c.script);
        const AcDbMText* mt = mtexts().back();
        EXPECT_EQ(mt->attachment(), c.attachment) << c.script;
        EXPECT_TRUE(mt->location().isEqualTo(leaders().back()->vertexAt(2))) << c.script;
    }
}

TEST_F(FieldPlacement, SplineLeaderIsSplined) {
    place(L"Owner", 2, "0,0\n3,3\n6,0\n^C\n");
    ASSERT_EQ(leaders().size(), 1u);
    EXPECT_TRUE(leaders()[0]->isSplined());
    EXPECT_EQ(leaders()[0]->numVertices(), 3) << "Escape at a later point keeps the points so far";
}

TEST_F(FieldPlacement, LeaderWithoutASecondPointPlacesNothing) {
    for (const char* script : {"^C\n", "1,1\n^C\n", "1,1\n\n", "1,1\nnot a point\n"}) {
        place(L"Owner", 1, script);
        expectNothingPlaced();
    }
}

TEST_F(FieldPlacement, LeaderTextHeightWithoutDimscaleOverride) {
    // A drawing's DIMSCALE of 1 still goes on the leader; its text is dimtxt high.
    db->setDimscale(1.0);
    place(L"Owner", 1, "0,0\n4,4\n\n");
    const AcDbLeader* leader = leaders().at(0);
    EXPECT_DOUBLE_EQ(mtexts().at(0)->textHeight(), leader->dimtxt());
}

TEST_F(FieldPlacement, UnknownModePlacesNothingAndAsksNothing) {
    place(L"Owner", 3, "1,1\n");
    EXPECT_EQ(transcript(), L"");
    expectNothingPlaced();
}

TEST_F(FieldPlacement, KeyThatWouldEndTheCodeIsRefusedBeforeAnythingIsLocked) {
    place(L"Size>%Weight", 0, "1,1\n");
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_NE(driver.boxes[0].find(L"\"Size>%Weight\" cannot be placed as a field"), std::wstring::npos);
    EXPECT_FALSE(driver.lockedMeanwhile);
    EXPECT_EQ(transcript(), L"") << "no prompt";
    expectNothingPlaced();
}

#if defined(SYSTEM_PYTHON) && defined(FIELD_OBJECTS_SCRIPT)
std::string runReader(const std::filesystem::path& drawing) {
    const std::string command = std::string(SYSTEM_PYTHON) + " " + FIELD_OBJECTS_SCRIPT + " '" + drawing.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return "popen failed";
    std::string out;
    char chunk[4096];
    while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe.get())) out.append(chunk, n);
    return out;
}

std::string hexHandle(AcDbObjectId id) {
    char text[32];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(id.handle().value()));
    return text;
}

TEST_F(FieldPlacement, SavedFieldsAreFoundFromTheirTextsByAnotherReader) {
    place(L"Project No", 0, "2,2\n");
    place(L"Owner", 1, "10,0\n6,4\n\n");
    place(L"Owner", 0, "^C\n");
    FreshFolder folder;
    const auto path = folder.path() / "fields.dwg";
    ASSERT_EQ(db->saveAs(path.wstring().c_str()), Acad::eOk);
    const std::string json = runReader(path);
    EXPECT_NE(json.find(R"("fields": 2)"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("text": "P-17")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("field_code": "\\AcVar CustomDP.Project No")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("field_code": "\\AcVar CustomDP.Owner")"), std::string::npos) << json;
    const AcDbMText* leaderText = mtexts().at(1);
    EXPECT_NE(json.find(R"("vertices": [[10.0, 0.0, 0.0], [6.0, 4.0, 0.0]], "annotation": ")" +
                        hexHandle(leaderText->objectId()) + R"(", "spline": false)"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("attachment": 6)"), std::string::npos) << "middle right: " << json;
}
#endif

}  // namespace
