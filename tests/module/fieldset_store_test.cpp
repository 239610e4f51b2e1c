#include "ed/commandline.h"
#include "storage/cppsqlite3exception.h"
#include "storage/fieldsetstore.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const FieldSetStore::Rows kRows = {{L"Client", L"O'Brien"}, {L"Job", L"12"}, {L"Client", L"Later wins"}};

class FieldSets : public ::testing::Test {
protected:
    FieldSets() { hosted::CommandLine::instance().clear(); }
    ~FieldSets() override { hosted::CommandLine::instance().clear(); }

    bool listed(const std::wstring& name) const {
        const auto names = store.names();
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    FreshFolder folder;
    FieldSetStore store{(folder.path() / "FieldDb.db").wstring()};
};

TEST_F(FieldSets, ASavedSetLoadsAsAMapWhereTheLaterRowWins) {
    store.save(L"Doors", kRows);
    const FieldSetStore::Map expected = {{L"Client", L"Later wins"}, {L"Job", L"12"}};
    EXPECT_EQ(store.load(L"Doors"), expected);
    EXPECT_EQ(store.load(L"doors"), expected) << "SQLite finds table names without regard to case";
}

// A name typed for Save goes into the SQL unquoted, so SQLite refuses what is no plain
// identifier there, and a refused save leaves nothing behind.
TEST_F(FieldSets, SaveRefusesWhatSQLiteRefusesAndLeavesNothing) {
    store.save(L"Doors", {{L"Width", L"900"}});
    struct Case {
        const wchar_t* name;
        const char* why;
    };
    const Case cases[] = {
        {L"doors", "exists in another letter case"},
        {L"Two words", "holds a blank"},
        {L"Select", "is a keyword"},
        {L"Semi;colon", "holds punctuation"},
    };
    for (const Case& c : cases) EXPECT_THROW(store.save(c.name, kRows), CppSQLite3Exception) << c.why;
    EXPECT_EQ(store.names(), std::vector<std::wstring>{L"Doors"});
    EXPECT_EQ(store.load(L"Doors"), (FieldSetStore::Map{{L"Width", L"900"}}));
}

// Rename quotes the names, so it may give one that Save could not: load and remove still
// reach it.
TEST_F(FieldSets, ANameGivenByRenameIsLoadedAndRemovedThoughSaveCouldNotTakeIt) {
    store.save(L"Doors", kRows);
    ASSERT_TRUE(store.rename(L"Doors", L"Front doors"));
    EXPECT_TRUE(listed(L"Front doors"));
    EXPECT_EQ(store.load(L"Front doors").at(L"Job"), L"12");
    EXPECT_TRUE(store.remove(L"Front doors"));
    EXPECT_TRUE(store.names().empty());
    EXPECT_TRUE(store.remove(L"Front doors")) << "removing a set that is gone is no failure";
}

TEST_F(FieldSets, RenamingOntoATakenNameFailsOnTheCommandLine) {
    store.save(L"Doors", kRows);
    store.save(L"Windows", kRows);
    EXPECT_FALSE(store.rename(L"Doors", L"windows"));
    EXPECT_NE(hosted::CommandLine::instance().transcript().find(L"SQliteUtils::RenameTable"), std::wstring::npos);
    EXPECT_TRUE(listed(L"Doors"));
}

TEST(FieldSetNames, OnlyAnAsciiLetterMayBeginAName) {
    struct Case {
        const wchar_t* name;
        bool valid;
    };
    const Case cases[] = {{L"Doors", true}, {L"z", true}, {L"", false}, {L"1st", false},
                          {L" Doors", false}, {L"_x", false}, {L"\u00c4rger", false}};
    for (const Case& c : cases) EXPECT_EQ(FieldSetStore::isValidName(c.name), c.valid) << c.name;
}

}  // namespace
