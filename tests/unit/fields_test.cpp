#include "db/database.h"
#include "db/dimension.h"
#include "db/field.h"
#include "db/mtext.h"
#include "db/summaryinfo.h"
#include "ed/sysvars.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::wstring shown(AcDbObjectId id) { return AcDbMText::cast(id.slot()->object)->displayText(); }

void putProperties(AcDbDatabase& db, std::initializer_list<std::pair<const ACHAR*, const ACHAR*>> props) {
    AcDbDatabaseSummaryInfo* info = nullptr;
    ASSERT_EQ(acdbGetSummaryInfo(&db, info), Acad::eOk);
    std::unique_ptr<AcDbDatabaseSummaryInfo> owned(info);
    for (const auto& [key, value] : props) {
        if (info->setCustomSummaryInfo(key, value) == Acad::eOk) continue;
        info->addCustomSummaryInfo(key, value);
    }
    ASSERT_EQ(acdbPutSummaryInfo(info, &db), Acad::eOk);
}

TEST(LiveFields, TextsFollowTheirPropertiesAtTheNextEvaluation) {
    AcDbDatabase db;
    putProperties(db, {{L"Title", L"Bridge"}, {L"Project No", L"P-1"}});
    const AcDbObjectId title = addFieldText(db, L"%<\\AcVar CustomDP.Title>%");
    const AcDbObjectId number = addFieldText(db, L"%<\\AcVar CustomDP.Project No>%");
    const AcDbObjectId plain = addFieldText(db, L"%<\\AcVar Date>%");
    EXPECT_EQ(hostdb::evaluateFields(db), 2) << "the date field is none the host evaluates";
    EXPECT_EQ(shown(title), L"Bridge");
    EXPECT_EQ(shown(number), L"P-1");

    putProperties(db, {{L"Project No", L"P-2"}});
    EXPECT_EQ(shown(number), L"P-1") << "until the next evaluation";
    EXPECT_EQ(hostdb::evaluateFields(db), 1);
    EXPECT_EQ(shown(number), L"P-2");
    EXPECT_EQ(shown(title), L"Bridge");
    EXPECT_EQ(shown(plain), L"%<\\AcVar Date>%");

    db.setCustomProperties({});
    EXPECT_EQ(hostdb::evaluateFields(db), 2);
    EXPECT_EQ(shown(title), L"####");
    EXPECT_EQ(hostdb::evaluateFields(db), 0);
}

TEST(LiveFields, FieldOpenElsewhereKeepsItsValue) {
    AcDbDatabase db;
    putProperties(db, {{L"Title", L"Old"}});
    const AcDbObjectId id = addFieldText(db, L"%<\\AcVar CustomDP.Title>%");
    hostdb::evaluateFields(db);
    putProperties(db, {{L"Title", L"New"}});
    AcDbField* held = nullptr;
    ASSERT_EQ(acdbOpenObject(held, AcDbMText::cast(id.slot()->object)->getField(L"TEXT"), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(hostdb::evaluateFields(db), 0);
    held->close();
    EXPECT_EQ(shown(id), L"Old");
}

TEST(LiveFields, PropertyNameRunsToTheEndOfTheCode) {
    const struct {
        const wchar_t* code;
        const wchar_t* name;
    } cases[] = {
        {L"%<\\AcVar CustomDP.Title>%", L"Title"},
        {L"\\AcVar CustomDP.Project No", L"Project No"},
        {L"%<\\AcVar CustomDP. lead and trail >%", L" lead and trail "},
        {L"%<\\AcVar CustomDP.Title \\f \"%tc1\">%", L"Title"},
        {L"%<\\AcVar CustomDP.a%b{c}\\d>%", L"a%b{c}\\d"},
        {L"%<\\AcVar Date>%", L""},
    };
    for (const auto& c : cases) {
        const AcDbField field(c.code, true);
        EXPECT_EQ(field.customPropertyName(), c.name) << std::wstring(c.code).size();
    }
}

TEST(SystemVariables, DrawingValuesByNameInAnyCase) {
    AcDbDatabase db;
    db.setDimscale(2.5);
    db.setTextsize(0.2);
    AcDbDatabase* before = acdbHostApplicationServices()->workingDatabase();
    acdbHostApplicationServices()->setWorkingDatabase(&db);
    resbuf rb{};
    EXPECT_EQ(acedGetVar(L"DIMSCALE", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTREAL);
    EXPECT_EQ(rb.resval.rreal, 2.5);
    EXPECT_EQ(acedGetVar(L"textsize", &rb), RTNORM);
    EXPECT_EQ(rb.resval.rreal, 0.2);
    EXPECT_EQ(acedGetVar(L"LUNITS", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(acedGetVar(L"NOSUCHVAR", &rb), RTERROR);
    EXPECT_EQ(acedGetVar(L"DIMSCALE", nullptr), RTERROR);
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_EQ(acedGetVar(L"DIMSCALE", &rb), RTERROR);
    acdbHostApplicationServices()->setWorkingDatabase(before);
}

TEST(SystemVariables, UserCoordinatesAreTheWorlds) {
    const ads_point from = {1.5, -2, 3};
    ads_point to = {};
    EXPECT_TRUE(acdbUcs2Wcs(from, to, Adesk::kFalse));
    EXPECT_EQ(to[0], 1.5);
    EXPECT_EQ(to[1], -2);
    EXPECT_EQ(to[2], 3);
}

TEST(MTextAttachment, MovingTheAttachmentKeepsTheTextInPlace) {
    for (int a = AcDbMText::kTopLeft; a <= AcDbMText::kBottomRight; ++a) {
        AcDbMText text;
        text.setContents(L"Bridge\\PNo 7");
        text.setTextHeight(2.0);
        text.setLocation({10, 20, 0});
        text.setAttachment(AcDbMText::kMiddleLeft);
        AcDbExtents before, after;
        text.getGeomExtents(before);
        const auto attachment = static_cast<AcDbMText::AttachmentPoint>(a);
        ASSERT_EQ(text.setAttachmentMovingLocation(attachment), Acad::eOk);
        EXPECT_EQ(text.attachment(), attachment);
        text.getGeomExtents(after);
        EXPECT_TRUE(after.minPoint().isEqualTo(before.minPoint())) << a;
        EXPECT_TRUE(after.maxPoint().isEqualTo(before.maxPoint())) << a;
    }
    AcDbMText text;
    text.setLocation({4, 4, 0});
    text.setContents(L"x");
    text.setAttachmentMovingLocation(AcDbMText::kMiddleRight);
    // One line of one character 2.5 high: the frame is 2.5 wide and 2.5 × 5/3 tall.
    EXPECT_TRUE(text.location().isEqualTo({4 + 2.5, 4 - 2.5 * 5.0 / 6.0, 0}))
        << "the text's width across and half its height down";
}

TEST(MTextAttachment, RefusedWithoutWriteOpenOrOutOfRange) {
    AcDbDatabase db;
    auto* text = new AcDbMText();
    const AcDbObjectId id = appendToModel(db, text);
    AcDbMText* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(open->setAttachmentMovingLocation(AcDbMText::kMiddleRight), Acad::eNotOpenForWrite);
    open->close();
    AcDbMText loose;
    EXPECT_EQ(loose.setAttachmentMovingLocation(static_cast<AcDbMText::AttachmentPoint>(10)), Acad::eInvalidInput);
}

TEST(LeaderDefaults, LeaderTakesTheDrawingsDimensionStyle) {
    AcDbDatabase db;
    AcDbLeader leader;
    leader.setDatabaseDefaults(&db);
    EXPECT_EQ(leader.dimensionStyle(), db.dimstyle());
    EXPECT_FALSE(leader.dimensionStyle().isNull());
}

}  // namespace
