#include "ap/docmanager.h"
#include "ed/adscodes.h"
#include "ed/wcmatch.h"
#include "ed/wideformat.h"
#include "rx/commandstack.h"

#include <gtest/gtest.h>

#include <cstdarg>

namespace {

void first() {}
void second() {}

TEST(CommandStack, LooksUpLocalAndGlobalNamesWithoutRegardToCase) {
    AcEdCommandStack stack;
    ASSERT_EQ(stack.addCommand(L"G", L"_flipx", L"flipx", ACRX_CMD_TRANSPARENT, first), Acad::eOk);
    ASSERT_EQ(stack.addCommand(L"G", L"OPEN", L"OUVRIR", 0, second), Acad::eOk);
    const struct {
        const wchar_t* typed;
        AcRxFunctionPtr expected;
    } cases[] = {
        {L"flipx", first}, {L"FLIPX", first}, {L"_flipx", first}, {L"_FlipX", first},
        {L"ouvrir", second}, {L"open", second}, {L"_open", second},
        {L"flip", nullptr}, {L"", nullptr}, {L"_ouvrir", nullptr},
    };
    for (const auto& c : cases) {
        const AcEdCommand* found = stack.lookupCmd(c.typed);
        EXPECT_EQ(found ? found->functionAddr() : nullptr, c.expected) << std::wstring(c.typed).size();
    }
}

TEST(CommandStack, RefusesTakenNamesAndRemovesByGroupAndGlobalName) {
    AcEdCommandStack stack;
    ASSERT_EQ(stack.addCommand(L"A", L"_one", L"one", 0, first), Acad::eOk);
    EXPECT_EQ(stack.addCommand(L"B", L"_ONE", L"uno", 0, second), Acad::eDuplicateKey);
    EXPECT_EQ(stack.addCommand(L"B", L"_uno", L"One", 0, second), Acad::eDuplicateKey);
    EXPECT_EQ(stack.addCommand(L"B", L"_uno", L"uno", 0, nullptr), Acad::eInvalidInput);
    EXPECT_EQ(stack.removeCmd(L"B", L"_one"), Acad::eKeyNotFound) << "another group's command stays";
    EXPECT_EQ(stack.removeCmd(L"a", L"_ONE"), Acad::eOk);
    EXPECT_EQ(stack.lookupCmd(L"one"), nullptr);
    EXPECT_EQ(stack.removeCmd(L"A", L"_one"), Acad::eKeyNotFound);
}

TEST(WildcardMatch, FollowsTheHostPatternLanguage) {
    const struct {
        const wchar_t* text;
        const wchar_t* pattern;
        bool match;
    } cases[] = {
        {L"TEXT", L"*TEXT", true},       {L"MTEXT", L"*TEXT", true},     {L"TEXTURE", L"*TEXT", false},
        {L"DIMENSION", L"*DIMENSION", true}, {L"INSERT", L"INSERT", true}, {L"INSERTX", L"INSERT", false},
        {L"LINE", L"LINE,ARC", true},    {L"ARC", L"LINE,ARC", true},    {L"CIRCLE", L"LINE,ARC", false},
        {L"A1", L"@#", true},            {L"AB", L"@#", false},          {L"A-B", L"A.B", true},
        {L"LAYER7", L"LAYER?", true},    {L"LAYER", L"LAYER?", false},   {L"B", L"[ABC]", true},
        {L"D", L"[ABC]", false},         {L"D", L"[~ABC]", true},        {L"Q", L"[A-Z]", true},
        {L"*", L"`*", true},             {L"X", L"`*", false},           {L"LINE", L"~LINE", false},
        {L"ARC", L"~LINE", true},        {L"", L"*", true},              {L"A,B", L"A`,B", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(acutWcMatch(c.text, c.pattern) == RTNORM, c.match)
            << std::wstring(c.text).size() << " / " << std::wstring(c.pattern).size();
    EXPECT_EQ(acutWcMatch(L"text", L"*TEXT"), RTERROR) << "case counts in acutWcMatch";
    EXPECT_TRUE(hosted::wildcardMatchNoCase(L"mtext", L"*TEXT"));
    EXPECT_EQ(acutWcMatch(nullptr, L"*"), RTERROR);
}

std::wstring format(const wchar_t* f, ...) {
    va_list args;
    va_start(args, f);
    std::wstring out;
    hosted::formatHostText(out, 100, f, args);
    va_end(args);
    return out;
}

TEST(HostFormat, FormatsWideTextAndSixtyFourBitIntegers) {
    EXPECT_EQ(format(L"%s=%I64d", L"count", static_cast<long long>(1) << 40), L"count=1099511627776");
    EXPECT_EQ(format(L"%hs", "narrow"), L"narrow");
    EXPECT_EQ(format(L"%s", L"\u00e9\U0001F600"), L"\u00e9\U0001F600");
}

TEST(ResultBuffers, BuildListKeepsOrderAndValues) {
    const ads_real point[3] = {1, 2, 3};
    resbuf* list = acutBuildList(RTDXF0, L"*TEXT", 8, L"WALLS", RTSHORT, 7, RTREAL, 2.5, RTPOINT, point, 0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->restype, RTDXF0);
    EXPECT_STREQ(list->resval.rstring, L"*TEXT");
    EXPECT_STREQ(list->rbnext->resval.rstring, L"WALLS");
    EXPECT_EQ(list->rbnext->rbnext->resval.rint, 7);
    EXPECT_EQ(list->rbnext->rbnext->rbnext->resval.rreal, 2.5);
    EXPECT_EQ(list->rbnext->rbnext->rbnext->rbnext->resval.rpoint[2], 3.0);
    EXPECT_EQ(list->rbnext->rbnext->rbnext->rbnext->rbnext, nullptr);
    EXPECT_EQ(acutRelRb(list), RTNORM);
    EXPECT_EQ(acutBuildList(RTDXF0, L"X", 4242, 1, 0), nullptr) << "an unknown type code builds nothing";
}

}  // namespace

namespace {

TEST(Documents, NewDrawingBecomesCurrentAndWriteLocksNest) {
    AcApDocument* doc = nullptr;
    std::wstring why;
    ASSERT_EQ(acDocManager->openDocument(L"", doc, why), Acad::eOk);
    EXPECT_EQ(curDoc(), doc);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), doc->database());

    EXPECT_EQ(doc->myLockMode(), AcAp::kNotLocked);
    EXPECT_EQ(acDocManager->lockDocument(doc), Acad::eOk);
    EXPECT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite), Acad::eOk);
    EXPECT_EQ(doc->lockCount(), 2);
    EXPECT_EQ(acDocManager->unlockDocument(doc), Acad::eOk);
    EXPECT_EQ(doc->myLockMode(), AcAp::kWrite) << "the outer lock still holds";
    EXPECT_EQ(acDocManager->unlockDocument(doc), Acad::eOk);
    EXPECT_EQ(doc->myLockMode(), AcAp::kNotLocked);
    EXPECT_EQ(acDocManager->unlockDocument(doc), Acad::eNotApplicable);

    EXPECT_EQ(acDocManager->openDocument(L"/nonexistent/plan.dwg", doc, why), Acad::eFileNotFound);
    EXPECT_FALSE(why.empty());
    acDocManager->closeAll();
    EXPECT_EQ(curDoc(), nullptr);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
}

}  // namespace
