#include "blocks/blockworker.h"
#include "ed/editor.h"
#include "librarydrawing.h"
#include "modelspace.h"
#include "rx/utf8.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>

namespace {

const std::wstring& transcript() { return hosted::CommandLine::instance().transcript(); }

std::map<std::wstring, const AcDbAttribute*> attributesOf(const AcDbBlockReference& ref) {
    std::map<std::wstring, const AcDbAttribute*> out;
    for (AcDbObjectId id : ref.attributeIds())
        if (const auto* att = AcDbAttribute::cast(id.slot()->object)) out[att->tagConst()] = att;
    return out;
}

std::wstring layerOf(const AcDbEntity& e) { return e.layerName(); }

// The attribute definitions of block TITLE, one of each kind a title block may hold, in
// block order; lines makes a definition multiline.
struct TitleDefinition {
    const wchar_t* tag;
    const wchar_t* prompt;
    const wchar_t* text;
    int flags;  // 1 invisible, 2 constant, 8 preset
    const wchar_t* lines;
    const wchar_t* question;  // what "Prompt" asks; null: neither asked nor made as an attribute
};

constexpr TitleDefinition kTitleDefinitions[] = {
    {L"PLAIN", L"Plain", L"p", 0, nullptr, L"Plain <p>: "},
    {L"HIDDEN", L"Hidden", L"h", 1, nullptr, L"Hidden <h>: "},
    {L"PRESET", L"Preset", L"s", 8, nullptr, L"Preset <s>: "},
    {L"MAKER", L"Maker", L"ACME", 2, nullptr, nullptr},
    {L"NOTE", L"Note", L"first", 0, L"first\\Psecond", L"Note <first>: "},
    {L"STAMP", L"Stamp", L"fixed", 2, L"fixed\\Pstamp", nullptr},
};

// A library drawing with blocks for each scenario, and a fresh current drawing in
// inches with the custom property Owner = Ann and a layer NEW.
class BlockInsertion : public ::testing::Test {
protected:
    void SetUp() override {
        LibraryBuilder library;
        library.database().setInsunits(AcDb::kUnitsMillimeters);
        library.addLayer(L"ATTS");
        const AcDbObjectId valve = library.addBlock(L"VALVE");
        library.addAttributeDefinition(valve, L"SIZE", L"Size", L"DN50", {0, -1, 0});
        library.addAttributeDefinition(valve, L"MAKER", L"Maker", L"Acme", {0, -2, 0}, L"ATTS");
        library.addAttributeDefinition(valve, L"NOTE", L"Note", L"-", {0, -3, 0});
        const AcDbObjectId label = library.addBlock(L"LABEL");
        library.addAttributeDefinition(label, L"OWNER", L"Owner", L"nobody", {0, 0, 0}, nullptr,
                                       L"%<\\AcVar CustomDP.Owner>%");
        const AcDbObjectId title = library.addBlock(L"TITLE");
        for (std::size_t i = 0; i < std::size(kTitleDefinitions); ++i) {
            const TitleDefinition& d = kTitleDefinitions[i];
            library.addDefinition(title, d.tag, d.prompt, d.text, {0, -static_cast<double>(i), 0}, d.flags, d.lines);
        }
        library.addBlock(L"PLATE_MM", 0, AcDb::kUnitsMillimeters);
        library.addBlock(L"PLATE_CM", 0, AcDb::kUnitsCentimeters);
        library.addBlock(L"PLATE_KM", 0, AcDb::kUnitsKilometers);
        library.addBlock(L"PLATE", 0, AcDb::kUnitsUndefined);
        library.addToModelSpace(new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 1));
        library.save(libraryPath);

        AcApDocument* doc = nullptr;
        std::wstring why;
        ASSERT_EQ(acDocManager->openDocument(L"", doc, why), Acad::eOk);
        target = doc->database();
        target->setInsunits(AcDb::kUnitsInches);
        target->setCustomProperties({{L"Owner", L"Ann"}});
        AcDbLayerTable* layers = nullptr;
        ASSERT_EQ(acdbOpenObject(layers, target->layerTableId(), AcDb::kForWrite), Acad::eOk);
        auto* layer = new AcDbLayerTableRecord();
        layer->setName(L"NEW");
        layers->add(layer);
        layer->close();
        layers->close();
        worker.dwgPath = libraryPath;
        worker.targetDb = target;
        hosted::CommandLine::instance().clear();
    }
    void TearDown() override {
        hosted::Editor::instance().setInput(nullptr);
        hosted::Editor::instance().clearFailure();
        acDocManager->closeAll();
    }

    // Runs one insertion with the script's lines as the user's answers.
    template <class Insert>
    void withInput(const std::string& script, Insert&& insert) {
        std::istringstream in(script);
        hosted::ScriptInput input(in, L"test.scr");
        hosted::Editor::instance().setInput(&input);
        insert();
        hosted::Editor::instance().setInput(nullptr);
        EXPECT_FALSE(hosted::Editor::instance().failed());
    }

    std::vector<AcDbBlockReference*> references() { return modelSpaceEntities<AcDbBlockReference>(*target); }

    FreshFolder folder;
    std::wstring libraryPath = folder.path().wstring() + L"/parts.dwg";
    AcDbDatabase* target = nullptr;
    BlockWorker worker;
};

TEST_F(BlockInsertion, PromptsInBlockOrderAndEscapeGivesTheRestTheirDefaults) {
    worker.prompt = true;
    withInput("Big\n^C\n5,5\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"VALVE"); });
    EXPECT_EQ(transcript(), L"Size <DN50>: BigMaker <Acme>: ^C\nSelect Point: 5,5");
    ASSERT_EQ(references().size(), 1u);
    const auto atts = attributesOf(*references()[0]);
    EXPECT_EQ(atts.at(L"SIZE")->textStringConst(), L"Big");
    EXPECT_EQ(atts.at(L"MAKER")->textStringConst(), L"Acme");
    EXPECT_EQ(atts.at(L"NOTE")->textStringConst(), L"-");
    EXPECT_TRUE(worker.promptCancelled);
    EXPECT_TRUE(references()[0]->position().isEqualTo({5, 5, 0}));
    EXPECT_TRUE(atts.at(L"NOTE")->position().isEqualTo({5, 2, 0})) << "attributes move with the reference";
}

TEST_F(BlockInsertion, EmptyAnswersTakeTheDefaults) {
    worker.prompt = true;
    withInput("\n\nlate\n1,1\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"VALVE"); });
    const auto atts = attributesOf(*references().at(0));
    EXPECT_EQ(atts.at(L"SIZE")->textStringConst(), L"DN50");
    EXPECT_EQ(atts.at(L"MAKER")->textStringConst(), L"Acme");
    EXPECT_EQ(atts.at(L"NOTE")->textStringConst(), L"late");
}

// Every kind of definition with "Prompt" off, answered by Enter and answered by typing:
// constants are neither asked for nor made; a multiline default keeps every line, and a
// typed value replaces all of them.
TEST_F(BlockInsertion, EachKindOfDefinitionIsAskedAndMadeAsItsKindWants) {
    enum class Answer { NoPrompt, Enter, Typed };
    for (const Answer answer : {Answer::NoPrompt, Answer::Enter, Answer::Typed}) {
        SCOPED_TRACE(static_cast<int>(answer));
        hosted::CommandLine::instance().clear();
        worker.prompt = answer != Answer::NoPrompt;
        worker.promptCancelled = false;
        std::string script;
        std::wstring asked;
        for (const TitleDefinition& d : kTitleDefinitions) {
            if (!d.question || answer == Answer::NoPrompt) continue;
            const std::wstring typed = answer == Answer::Typed ? std::wstring(L"new ") + d.tag : L"";
            script += hostrx::wideToUtf8(typed) + "\n";
            asked += d.question + typed;
        }
        withInput(script + "5,5\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"TITLE"); });
        EXPECT_EQ(transcript(), asked + L"\nSelect Point: 5,5");

        const auto atts = attributesOf(*references().back());
        std::size_t made = 0;
        for (const TitleDefinition& d : kTitleDefinitions) {
            SCOPED_TRACE(hostrx::wideToUtf8(d.tag));
            if (!d.question) {
                EXPECT_FALSE(atts.contains(d.tag)) << "a constant is drawn by its definition";
                continue;
            }
            ++made;
            ASSERT_TRUE(atts.contains(d.tag));
            const AcDbAttribute& att = *atts.at(d.tag);
            const std::wstring typed = std::wstring(L"new ") + d.tag;
            EXPECT_EQ(att.textStringConst(), answer == Answer::Typed ? typed : d.text);
            EXPECT_EQ(att.isInvisible(), (d.flags & 1) != 0);
            EXPECT_FALSE(att.isConstant());
            ASSERT_EQ(att.isMTextAttribute(), d.lines != nullptr);
            if (!d.lines) continue;
            const AcDbMText& lines = *att.mtextAttributeConst();
            EXPECT_EQ(lines.contentsConst(), answer == Answer::Typed ? typed : d.lines);
            EXPECT_TRUE(lines.location().isEqualTo(att.position())) << "the lines move with the attribute";
        }
        EXPECT_EQ(atts.size(), made);
    }
}

TEST_F(BlockInsertion, TypedBackslashesAndBracesShowAsTypedInAMultilineAttribute) {
    worker.prompt = true;
    withInput("\n\n\nC:\\{x}\n0,0\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"TITLE"); });
    const AcDbAttribute& note = *attributesOf(*references().at(0)).at(L"NOTE");
    EXPECT_EQ(note.textStringConst(), L"C:\\{x}");
    EXPECT_EQ(note.mtextAttributeConst()->contentsConst(), L"C:\\\\\\{x\\}");
}

TEST_F(BlockInsertion, AnExistingDefinitionIsReusedEvenWhenTheLibraryIsGone) {
    withInput("1,1\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"VALVE"); });
    std::filesystem::remove(std::filesystem::path(libraryPath));
    withInput("2,2\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"VALVE"); });
    EXPECT_EQ(references().size(), 2u);
    EXPECT_EQ(references()[0]->blockTableRecord(), references()[1]->blockTableRecord());
    EXPECT_EQ(transcript().find(L"Failed"), std::wstring::npos);
}

TEST_F(BlockInsertion, FieldOfTheDefinitionIsEvaluatedInTheTargetWithoutAPrompt) {
    worker.prompt = true;
    withInput("3,3\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"LABEL"); });
    EXPECT_EQ(transcript(), L"\nSelect Point: 3,3");
    const AcDbAttribute* owner = attributesOf(*references().at(0)).at(L"OWNER");
    ASSERT_TRUE(owner->hasFields());
    EXPECT_EQ(owner->displayText(), L"Ann");
}

TEST_F(BlockInsertion, AttributesKeepTheirDefinitionsLayers) {
    worker.layerName = L"NEW";
    withInput("0,0\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"VALVE"); });
    const AcDbBlockReference* ref = references().at(0);
    EXPECT_EQ(layerOf(*ref), L"NEW");
    const auto atts = attributesOf(*ref);
    EXPECT_EQ(layerOf(*atts.at(L"MAKER")), L"ATTS");
    EXPECT_EQ(layerOf(*atts.at(L"SIZE")), L"0");
}

TEST_F(BlockInsertion, ScaleIncludesTheUnitsFactor) {
    const struct {
        const wchar_t* block;
        AcDb::UnitsValue targetUnits;
        double scale, expected;
    } cases[] = {
        {L"PLATE_MM", AcDb::kUnitsInches, 2.0, 2 * 0.0393700787402},
        {L"PLATE_MM", AcDb::kUnitsCentimeters, 1.0, 0.1},
        {L"PLATE", AcDb::kUnitsInches, 1.5, 1.5},
        {L"PLATE_MM", AcDb::kUnitsUndefined, 1.0, 1.0},
        {L"PLATE_KM", AcDb::kUnitsMeters, 1.0, 1.0},
    };
    for (const auto& c : cases) {
        target->setInsunits(c.targetUnits);
        withInput("0,0\n", [&] { worker.doInsertSubBlock(c.scale, 0.0, c.block); });
        EXPECT_NEAR(references().back()->scaleFactors().x, c.expected, 1e-12) << std::wstring(c.block).size();
    }
}

TEST_F(BlockInsertion, RotationPickedAddsToTheEnginesRotation) {
    worker.rotate = true;
    const struct {
        const char* script;
        double expectedDegrees;
    } cases[] = {
        {"0,0\n30\n", 120},          // degrees typed
        {"10,0\n10,10\n", 180},      // a point: its direction from the insertion point
        {"0,0\n0\n", 90},            // nothing added
    };
    for (const auto& c : cases) {
        withInput(c.script, [&] { worker.doInsertSubBlock(1.0, std::numbers::pi / 2, L"PLATE"); });
        EXPECT_NEAR(references().back()->rotation() * 180 / std::numbers::pi, c.expectedDegrees, 1e-9) << c.script;
    }
}

TEST_F(BlockInsertion, ExplodeReplacesThePlacedReferenceByItsParts) {
    worker.explode = true;
    withInput("7,0\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"PLATE"); });
    EXPECT_TRUE(references().empty());
    const auto lines = modelSpaceEntities<AcDbLine>(*target);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0]->startPoint().isEqualTo({7, 0, 0}));
}

TEST_F(BlockInsertion, CancelledRotationErasesTheReferenceAndExplodesNothing) {
    worker.explode = true;
    worker.rotate = true;
    withInput("7,0\n^C\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"PLATE"); });
    EXPECT_TRUE(references().empty());
    EXPECT_TRUE(modelSpaceEntities<AcDbLine>(*target).empty());
    EXPECT_EQ(transcript().find(L"Failed"), std::wstring::npos) << "a cancelled rotation is no failure";
}

TEST_F(BlockInsertion, EscapeAtTheInsertionPointReportsAndKeepsTheDefinition) {
    withInput("^C\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"PLATE"); });
    EXPECT_TRUE(references().empty());
    const std::wstring expected = std::wstring(L"\nSelect Point: ^C\n[") + acadErrorStatusText(Acad::eInvalidInput) +
                                  L"], Failed to insert Block\nBlockWorker::doInsertSubBlock, ";
    EXPECT_TRUE(transcript().starts_with(expected));
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(acdbOpenObject(table, target->blockTableId(), AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(table->has(L"PLATE"));
    table->close();
}

TEST_F(BlockInsertion, ABlockMissingFromTheLibraryGivesOneReport) {
    withInput("", [&] { worker.doInsertSubBlock(1.0, 0.0, L"NOPE"); });
    const std::wstring expected = std::wstring(L"\n[") + acadErrorStatusText(Acad::eKeyNotFound) +
                                  L"], Failed to Block information\nBlockWorker::CloneBlockDef, ";
    EXPECT_TRUE(transcript().starts_with(expected));
    EXPECT_EQ(std::count(transcript().begin(), transcript().end(), L'['), 1);
    EXPECT_TRUE(references().empty());
}

TEST_F(BlockInsertion, ABlockMissingFromTheTargetRaisesTheAlert) {
    Acad::ErrorStatus es = Acad::eOk;
    withInput("", [&] { es = worker.blockActions(1.0, 0.0, L"GHOST"); });
    EXPECT_EQ(es, Acad::eBlockNotFound);
    EXPECT_EQ(transcript(), L"\n** Can't find BlockReference: GHOST **");
}

TEST_F(BlockInsertion, WholeDrawingIsInsertedUnderItsFileName) {
    withInput("4,4\n", [&] { worker.doInsertBlock(1.0, 0.0); });
    ASSERT_EQ(references().size(), 1u);
    auto* block = AcDbBlockTableRecord::cast(references()[0]->blockTableRecord().slot()->object);
    EXPECT_EQ(block->name(), L"parts");
    EXPECT_EQ(transcript(), L"\nSelect Point: 4,4");

    hosted::CommandLine::instance().clear();
    worker.dwgPath = folder.path().wstring() + L"/";
    withInput("", [&] { worker.doInsertBlock(1.0, 0.0); });
    EXPECT_EQ(transcript(), L"");
    EXPECT_EQ(references().size(), 1u);
}

}  // namespace

namespace {

// What ezdxf reads from a saved drawing: "BLOCK tag=value ..." for every reference in
// model space, and whether each attribute carries a field.
std::string ezdxfReferences(const std::filesystem::path& drawing) {
    const std::string script =
        "import sys, ezdxf\n"
        "doc = ezdxf.readfile(sys.argv[1])\n"
        "assert not doc.audit().has_errors\n"
        "for ref in doc.modelspace().query('INSERT'):\n"
        "    atts = []\n"
        "    for a in ref.attribs:\n"
        "        field = a.has_extension_dict and 'ACAD_FIELD' in a.get_extension_dict()\n"
        "        atts.append(a.dxf.tag + '=' + a.dxf.text + ('(field)' if field else ''))\n"
        "    print(ref.dxf.name, ' '.join(atts))\n";
    const std::filesystem::path scriptPath = drawing.parent_path() / "read_references.py";
    std::ofstream(scriptPath) << script;
    const std::string command = "/usr/bin/python3 " + scriptPath.string() + " " + drawing.string() + " 2>&1";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        ::pclose(pipe);
    }
    return out;
}

TEST_F(BlockInsertion, SavedDrawingShowsTheAttributesAndTheFieldToEzdxf) {
    worker.prompt = true;
    withInput("DN80\n\n\n1,1\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"VALVE"); });
    withInput("2,2\n", [&] { worker.doInsertSubBlock(1.0, 0.0, L"LABEL"); });
    const std::filesystem::path saved = folder.path() / "plan.dwg";
    ASSERT_EQ(target->saveAs(saved.wstring().c_str()), Acad::eOk);
    EXPECT_EQ(ezdxfReferences(saved), "VALVE SIZE=DN80 MAKER=Acme NOTE=-\nLABEL OWNER=Ann(field)\n");
}

}  // namespace
