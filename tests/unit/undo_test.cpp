#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/dictionary.h"
#include "db/field.h"
#include "db/foreignentity.h"
#include "db/group.h"
#include "db/layertable.h"
#include "db/mtext.h"
#include "db/summaryinfo.h"
#include "db/text.h"
#include "db/undorecord.h"
#include "dxf/dxfwriter.h"
#include "ge/line3d.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The drawing as a whole: every live object by slot (its handle and class), then every
// value the file holds. Two drawings with the same picture are the same objects under
// the same ids and handles with the same contents. A slot whose object an undo took out,
// or whose object is erased, is as good as none.
std::string picture(const AcDbDatabase& db) {
    std::string out;
    for (const auto& slot : db.objectSlots()) {
        if (!slot.object || slot.object->isErased()) continue;
        const std::wstring cls = slot.object->isA()->name();
        out += slot.handle.toString() + " " + std::string(cls.begin(), cls.end()) + "\n";
    }
    return out + hostdxf::writeDrawing(db);
}

// The first line where two pictures part, for a failure message that fits a screen.
std::string firstDifference(const std::string& a, const std::string& b) {
    std::size_t line = 1, at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) {
        if (a[at] == '\n') ++line;
        ++at;
    }
    if (at == a.size() && at == b.size()) return "";
    const auto lineOf = [&](const std::string& s) {
        const std::size_t start = s.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        return s.substr(from, s.find('\n', from) - from);
    };
    return "line " + std::to_string(line) + ": \"" + lineOf(a) + "\" against \"" + lineOf(b) + "\"";
}

#define EXPECT_SAME_DRAWING(a, b) EXPECT_EQ(firstDifference(a, b), "")

template <class T>
void change(AcDbObjectId id, const std::function<void(T&)>& edit) {
    T* obj = nullptr;
    ASSERT_EQ(acdbOpenObject(obj, id, AcDb::kForWrite), Acad::eOk);
    edit(*obj);
    obj->close();
}

AcDbObjectId addLayer(AcDbDatabase& db, const ACHAR* name) {
    AcDbLayerTable* table = nullptr;
    EXPECT_EQ(acdbOpenObject(table, db.layerTableId(), AcDb::kForWrite), Acad::eOk);
    auto* layer = new AcDbLayerTableRecord();
    layer->setName(name);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, layer), Acad::eOk);
    layer->close();
    table->close();
    return id;
}

// A drawing with something of every kind a step may touch: entities, a block with an
// attribute definition and a reference to it with its attribute, a group, a field, an
// entity kept as read (an old-style polyline with its vertices), custom properties.
struct Drawing {
    AcDbDatabase db;
    AcDbObjectId line, text, reference, group, fieldText, polyline, block;

    Drawing() {
        line = appendToModel(db, new AcDbLine({0, 0, 0}, {10, 0, 0}));
        text = appendToModel(db, new AcDbText({0, 5, 0}, L"note", AcDbObjectId(), 2.5, 0.0));
        block = addBlock(db, L"TAG");
        appendTo(block, new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 1.0));
        auto* def = new AcDbAttributeDefinition({0, 0, 0}, L"A1", L"NUMBER", L"Number:");
        appendTo(block, def);
        auto* ref = new AcDbBlockReference({20, 0, 0}, block);
        reference = appendToModel(db, ref);
        change<AcDbBlockReference>(reference, [](AcDbBlockReference& r) {
            auto* attr = new AcDbAttribute();
            attr->setPosition({20, 0, 0});
            attr->setTextString(L"A7");
            attr->setTag(L"NUMBER");
            EXPECT_EQ(r.appendAttribute(attr), Acad::eOk);
            attr->close();
        });
        AcDbDictionary* groups = nullptr;
        EXPECT_EQ(acdbOpenObject(groups, db.groupDictionaryId(), AcDb::kForWrite), Acad::eOk);
        auto* g = new AcDbGroup(L"pair");
        EXPECT_EQ(groups->setAt(L"PAIR", g, group), Acad::eOk);
        g->append(line);
        g->append(text);
        g->close();
        groups->close();
        fieldText = addFieldText(db, L"%<\\AcVar CustomDP.Title>%", {0, 20, 0});
        db.setCustomProperties({{L"Title", L"First"}});
        auto* pline = new AcDbForeignEntity("POLYLINE");
        pline->foreign().chunk("AcDb2dPolyline") = {{66, "1"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {70, "0"}};
        pline->followers() = {{{0, "VERTEX"}, {5, "A0"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbVertex"},
                               {100, "AcDb2dVertex"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}},
                              {{0, "SEQEND"}, {5, "A1"}, {100, "AcDbEntity"}, {8, "0"}}};
        polyline = appendToModel(db, pline);
        hostdb::evaluateFields(db);
    }
};

struct StepCase {
    const char* name;
    std::function<void(Drawing&)> step;
};

const StepCase kSteps[] = {
    {"MoveALine", [](Drawing& d) {
         change<AcDbEntity>(d.line, [](AcDbEntity& e) { e.transformBy(AcGeMatrix3d::translation({1, 2, 0})); });
     }},
    {"EraseTwoEntities", [](Drawing& d) {
         change<AcDbEntity>(d.line, [](AcDbEntity& e) { e.erase(); });
         change<AcDbEntity>(d.reference, [](AcDbEntity& e) { e.erase(); });
     }},
    {"AppendThenChangeThenEraseInOneStep", [](Drawing& d) {
         const AcDbObjectId id = appendToModel(d.db, new AcDbCircle({5, 5, 0}, AcGeVector3d::kZAxis, 2.0));
         change<AcDbCircle>(id, [](AcDbCircle& c) { c.setRadius(3.0); });
         change<AcDbEntity>(d.line, [](AcDbEntity&) {});
         change<AcDbEntity>(id, [](AcDbEntity& e) { e.erase(); });
     }},
    {"ExplodeAReferenceWithItsAttribute", [](Drawing& d) {
         AcDbBlockReference* ref = nullptr;
         ASSERT_EQ(acdbOpenObject(ref, d.reference, AcDb::kForWrite), Acad::eOk);
         EXPECT_EQ(ref->explodeToOwnerSpace(), Acad::eOk);
         EXPECT_EQ(ref->erase(), Acad::eOk);
         ref->close();
     }},
    {"FlipAnOldStylePolyline", [](Drawing& d) {
         change<AcDbEntity>(d.polyline, [](AcDbEntity& e) {
             EXPECT_EQ(e.transformBy(AcGeMatrix3d::mirroring(AcGeLine3d(AcGePoint3d(), AcGeVector3d::kYAxis))), Acad::eOk);
         });
     }},
    {"CopyAnEntityFromABlock", [](Drawing& d) {
         AcDbBlockTableRecord* block = nullptr;
         ASSERT_EQ(acdbOpenObject(block, d.block, AcDb::kForRead), Acad::eOk);
         AcDbEntity* circle = nullptr;
         ASSERT_EQ(acdbOpenObject(circle, block->entityIds().front(), AcDb::kForRead), Acad::eOk);
         auto* copy = AcDbEntity::cast(circle->clone());
         circle->close();
         block->close();
         appendToModel(d.db, copy);
     }},
    {"NewLayerAndCurrentLayer", [](Drawing& d) {
         const AcDbObjectId layer = addLayer(d.db, L"Walls");
         EXPECT_EQ(d.db.setClayer(layer), Acad::eOk);
         change<AcDbEntity>(d.text, [&](AcDbEntity& e) { e.setLayer(layer); });
     }},
    {"NewBlockDefinitionAndItsReference", [](Drawing& d) {
         const AcDbObjectId block = addBlock(d.db, L"NEW");
         appendTo(block, new AcDbLine({0, 0, 0}, {0, 1, 0}));
         appendToModel(d.db, new AcDbBlockReference({3, 3, 0}, block));
     }},
    {"ChangeAGroup", [](Drawing& d) {
         change<AcDbGroup>(d.group, [&](AcDbGroup& g) {
             g.remove(d.line);
             g.setDescription(L"one left");
         });
     }},
    {"EraseAGroupAndItsEntry", [](Drawing& d) {
         change<AcDbDictionary>(d.db.groupDictionaryId(), [](AcDbDictionary& groups) { groups.remove(L"PAIR"); });
         change<AcDbGroup>(d.group, [](AcDbGroup& g) { g.erase(); });
     }},
    {"PlaceAFieldOnANewText", [](Drawing& d) { addFieldText(d.db, L"%<\\AcVar CustomDP.Title>%", {9, 9, 0}); }},
    {"ExtensionDictionaryOnAnEntity", [](Drawing& d) {
         change<AcDbEntity>(d.line, [](AcDbEntity& e) { EXPECT_EQ(e.createExtensionDictionary(), Acad::eOk); });
     }},
    {"CustomPropertiesAndTheirFieldValues", [](Drawing& d) {
         AcDbDatabaseSummaryInfo* info = nullptr;
         ASSERT_EQ(acdbGetSummaryInfo(&d.db, info), Acad::eOk);
         info->setCustomSummaryInfo(L"Title", L"Second");
         info->addCustomSummaryInfo(L"Client", L"Acme");
         ASSERT_EQ(acdbPutSummaryInfo(info, &d.db), Acad::eOk);
         delete info;
         hostdb::evaluateFields(d.db);
     }},
    {"BlockIcon", [](Drawing& d) {
         change<AcDbBlockTableRecord>(d.block, [](AcDbBlockTableRecord& b) {
             AcArray<Adesk::UInt8> icon;
             for (int byte = 1; byte <= 4; ++byte) icon.append(static_cast<Adesk::UInt8>(byte));
             b.setPreviewIcon(icon);
         });
     }},
};

class UndoSteps : public ::testing::TestWithParam<StepCase> {};

// Undo gives back the drawing before the step, redo the one after, and the two go on
// alternating exactly.
TEST_P(UndoSteps, UndoAndRedoGiveBackEachSideExactly) {
    Drawing d;
    auto& record = d.db.undoRecord();
    const std::string before = picture(d.db);
    record.beginStep(L"STEP");
    GetParam().step(d);
    record.endStep();
    const std::string after = picture(d.db);
    ASSERT_NE(before, after);
    ASSERT_TRUE(record.canUndo());
    EXPECT_EQ(record.undoName(), L"STEP");
    for (int round = 0; round < 2; ++round) {
        std::wstring name;
        ASSERT_EQ(record.undo(name), Acad::eOk);
        EXPECT_EQ(name, L"STEP");
        EXPECT_SAME_DRAWING(picture(d.db), before) << "round " << round;
        ASSERT_EQ(record.redo(name), Acad::eOk);
        EXPECT_SAME_DRAWING(picture(d.db), after) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Database, UndoSteps, ::testing::ValuesIn(kSteps),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Undo, AStepThatChangedNothingLeavesNoStep) {
    Drawing d;
    auto& record = d.db.undoRecord();
    record.beginStep(L"LOOK");
    AcDbEntity* e = nullptr;
    ASSERT_EQ(acdbOpenObject(e, d.line, AcDb::kForRead), Acad::eOk);
    e->close();
    record.endStep();
    EXPECT_FALSE(record.canUndo());
    EXPECT_FALSE(record.modified());
}

TEST(Undo, PastTheStartAndPastTheEndRefuseAndChangeNothing) {
    Drawing d;
    auto& record = d.db.undoRecord();
    std::wstring name;
    EXPECT_EQ(record.undo(name), Acad::eNotApplicable);
    EXPECT_EQ(record.redo(name), Acad::eNotApplicable);
    record.beginStep(L"ONE");
    kSteps[0].step(d);
    record.endStep();
    const std::string after = picture(d.db);
    ASSERT_EQ(record.redo(name), Acad::eNotApplicable);
    EXPECT_SAME_DRAWING(picture(d.db), after);
    ASSERT_EQ(record.undo(name), Acad::eOk);
    const std::string before = picture(d.db);
    EXPECT_EQ(record.undo(name), Acad::eNotApplicable);
    EXPECT_TRUE(name.empty());
    EXPECT_SAME_DRAWING(picture(d.db), before);
}

TEST(Undo, RefusesWhileAStepIsOpenOrAnObjectOfTheStepIsOpen) {
    Drawing d;
    auto& record = d.db.undoRecord();
    record.beginStep(L"MOVE");
    kSteps[0].step(d);
    record.endStep();
    std::wstring name;
    record.beginStep(L"OUTER");
    EXPECT_EQ(record.undo(name), Acad::eLockViolation);
    record.endStep();
    AcDbEntity* e = nullptr;
    ASSERT_EQ(acdbOpenObject(e, d.line, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(record.undo(name), Acad::eWasOpenForRead);
    e->close();
    EXPECT_EQ(record.undo(name), Acad::eOk);
}

TEST(Undo, NestedStepsAreOneAndStepsUndoInReverseOrder) {
    Drawing d;
    auto& record = d.db.undoRecord();
    const std::string start = picture(d.db);
    record.beginStep(L"FIRST");
    record.beginStep(L"INNER");
    kSteps[0].step(d);
    record.endStep();
    kSteps[1].step(d);
    record.endStep();
    const std::string middle = picture(d.db);
    record.beginStep(L"SECOND");
    change<AcDbEntity>(d.text, [](AcDbEntity& e) { e.setColorIndex(3); });
    record.endStep();
    EXPECT_EQ(record.undoCount(), 2u);
    std::wstring name;
    ASSERT_EQ(record.undo(name), Acad::eOk);
    EXPECT_EQ(name, L"SECOND");
    EXPECT_SAME_DRAWING(picture(d.db), middle);
    ASSERT_EQ(record.undo(name), Acad::eOk);
    EXPECT_EQ(name, L"FIRST");
    EXPECT_SAME_DRAWING(picture(d.db), start);
    EXPECT_EQ(record.redoName(), L"FIRST");
}

// A new change after an undo drops what could have been redone, and the handles the
// dropped objects had are given out again, as a drawing that never had them would.
TEST(Undo, ANewStepAfterUndoDropsTheRedoAndReusesItsHandles) {
    Drawing d;
    auto& record = d.db.undoRecord();
    record.beginStep(L"ADD");
    const AcDbObjectId first = appendToModel(d.db, new AcDbCircle({1, 1, 0}, AcGeVector3d::kZAxis, 1.0));
    record.endStep();
    std::wstring name;
    ASSERT_EQ(record.undo(name), Acad::eOk);
    EXPECT_FALSE(first.isValid());
    record.beginStep(L"ADD AGAIN");
    const AcDbObjectId second = appendToModel(d.db, new AcDbLine({1, 1, 0}, {2, 2, 0}));
    record.endStep();
    EXPECT_FALSE(record.canRedo());
    EXPECT_EQ(second.handle(), first.handle());
    EXPECT_EQ(d.db.idFromHandle(second.handle()), second);
}

TEST(Undo, ModifiedFollowsTheStepsInEffectSinceTheSave) {
    Drawing d;
    auto& record = d.db.undoRecord();
    std::wstring name;
    EXPECT_FALSE(record.modified());
    record.beginStep(L"A");
    kSteps[0].step(d);
    record.endStep();
    EXPECT_TRUE(record.modified());
    record.markSaved();
    EXPECT_FALSE(record.modified());
    ASSERT_EQ(record.undo(name), Acad::eOk);
    EXPECT_TRUE(record.modified());
    ASSERT_EQ(record.redo(name), Acad::eOk);
    EXPECT_FALSE(record.modified());
    ASSERT_EQ(record.undo(name), Acad::eOk);
    record.beginStep(L"B");
    kSteps[1].step(d);
    record.endStep();
    EXPECT_TRUE(record.modified());  // the saved state can no longer come back
}

TEST(Undo, TellsWhichObjectsAStepTouched) {
    Drawing d;
    auto& record = d.db.undoRecord();
    std::vector<AcDbObjectId> told;
    record.setChangeListener([&](const std::vector<AcDbObjectId>& ids) { told = ids; });
    record.beginStep(L"MOVE");
    kSteps[0].step(d);
    record.endStep();
    EXPECT_EQ(told, std::vector<AcDbObjectId>{d.line});
    told.clear();
    std::wstring name;
    record.undo(name);
    EXPECT_EQ(told, std::vector<AcDbObjectId>{d.line});
}

}  // namespace
