#include "rx/utf8.h"
#include "frame/hostapi.h"
#include "storage/blocknameindex.h"
#include "storage/cppsqlite3db.h"
#include "storage/iconcachefile.h"
#include "storage/sqliteutils.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <functional>
#include <iterator>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A 32 x 32 icon at 8 bits per pixel: 40-byte header, 256-entry colour table, rows.
constexpr int kIconBytes = 2088;

AcArray<Adesk::UInt8> makeIcon(int seed) {
    AcArray<Adesk::UInt8> icon;
    for (int i = 0; i < kIconBytes; ++i) icon.append(static_cast<Adesk::UInt8>((i * 7 + seed) % 256));
    return icon;
}

BlockInfo block(const wchar_t* name, int iconSeed) { return {name, iconSeed < 0 ? AcArray<Adesk::UInt8>{} : makeIcon(iconSeed)}; }

bool sameRecords(const std::vector<BlockInfo>& a, const std::vector<BlockInfo>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || !(a[i].previewIcon == b[i].previewIcon)) return false;
    return true;
}

// Every test works on "iconcache.db" in a fresh temporary directory of its own, and
// starts with an empty command line.
class IconCacheStore : public ::testing::Test {
protected:
    IconCacheStore() : m_tmp(m_folder.path().string()) { hosted::CommandLine::instance().clear(); }
    ~IconCacheStore() override { hosted::CommandLine::instance().clear(); }

    fs::path file(const char* name) const { return m_folder.path() / name; }
    std::wstring iconCache() const { return file("iconcache.db").wstring(); }
    static const std::wstring& printed() { return hosted::CommandLine::instance().transcript(); }

    // The file as another reader sees it, independent of the store.
    int count(const std::wstring& sql) const {
        CppSQLite3DB db;
        db.open(iconCache());
        return db.scalar(sql);
    }
    std::vector<std::wstring> tables() const {
        std::vector<std::wstring> names;
        SQliteUtils::listTables(iconCache().c_str(), names);
        return names;
    }

    // The storage error line: "\nError <message> <operation> <line>\n".
    void expectStorageErrorLine(const std::wstring& message, const std::wstring& operation) const {
        const std::wstring head = L"\nError " + message + L" " + operation + L" ";
        ASSERT_TRUE(printed().starts_with(head)) << testing::PrintToString(printed());
        const std::wstring line = printed().substr(head.size());
        ASSERT_TRUE(line.size() >= 2 && line.back() == L'\n') << testing::PrintToString(printed());
        EXPECT_EQ(line.find_first_not_of(L"0123456789"), line.size() - 1) << testing::PrintToString(printed());
    }

private:
    FreshFolder m_folder;
    TempDirOverride m_tmp;
};

TEST(SQliteUtilsCleanTableName, RemovesTheNineCharactersAndNothingElse) {
    const struct {
        const wchar_t* key;
        const wchar_t* cleaned;
    } cases[] = {
        {L"D:\\Blocks\\Door Set (new).dwg", L"DBlocksDoorSetnewdwg"},
        {L"\\:. ()-,;", L""},
        {L"", L""},
        {L"/home/O'Brien/Caf\u00E9 [2]/T\u00FCr_#1.DWG", L"/home/O'Brien/Caf\u00E9[2]/T\u00FCr_#1DWG"},
        {L"a-b.dwg", L"abdwg"},
    };
    for (const auto& c : cases) EXPECT_EQ(SQliteUtils::cleanTableName(c.key), c.cleaned) << c.key;
}

TEST_F(IconCacheStore, RecordsRoundTripInOrderWithTheirIconBytes) {
    const std::vector<BlockInfo> records = {block(L"Door", 1), block(L"No icon", -1), block(L"T\u00FCr \U0001F6AA", 2)};
    const std::wstring key = L"D:\\Blocks\\Door Set (new).dwg";
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords(records, key));

    std::vector<BlockInfo> read = {block(L"already there", 3)};
    ASSERT_TRUE(SQliteUtils::getIconCacheRecords(read, key));
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].name, L"already there");
    EXPECT_TRUE(sameRecords({read.begin() + 1, read.end()}, records));
    EXPECT_EQ(count(L"select count(*) from DBlocksDoorSetnewdwg where icon is null;"), 1);
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, SettingAgainReplacesTheRecords) {
    const std::wstring key = L"/lib/door.dwg";
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"A", 1), block(L"B", 2)}, key));
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"C", 3)}, key));
    std::vector<BlockInfo> read;
    ASSERT_TRUE(SQliteUtils::getIconCacheRecords(read, key));
    EXPECT_TRUE(sameRecords(read, {block(L"C", 3)}));

    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({}, key));
    read.clear();
    EXPECT_TRUE(SQliteUtils::getIconCacheRecords(read, key));
    EXPECT_TRUE(read.empty());
}

TEST_F(IconCacheStore, KeyWithoutATableHasNoRecords) {
    std::vector<BlockInfo> read = {block(L"kept", 1)};
    EXPECT_FALSE(SQliteUtils::getIconCacheRecords(read, L"/lib/never-cached.dwg"));
    EXPECT_EQ(read.size(), 1u);
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, EmptyKeyCreatesNothing) {
    EXPECT_FALSE(SQliteUtils::createIconCacheTable(L""));
    EXPECT_FALSE(fs::exists(file("iconcache.db")));
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, KeysDifferingOnlyInRemovedCharactersShareOneEntry) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"A", 1)}, L"D:\\a-b.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(1700000000, L"D:\\a-b.dwg"));
    std::vector<BlockInfo> read;
    ASSERT_TRUE(SQliteUtils::getIconCacheRecords(read, L"D:\\ab.dwg"));
    EXPECT_TRUE(sameRecords(read, {block(L"A", 1)}));
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"D:\\ab.dwg"), 1700000000);
}

TEST_F(IconCacheStore, DateStampsRoundTripAndAreReplaced) {
    ASSERT_TRUE(SQliteUtils::createIconCacheDateStampTable());
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"/lib/door.dwg"), 0);
    for (const std::int64_t stamp : {std::int64_t{1700000000}, std::int64_t{0}, std::int64_t{-1},
                                     std::numeric_limits<std::int64_t>::min(),
                                     std::numeric_limits<std::int64_t>::max()}) {
        ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(stamp, L"/lib/door.dwg"));
        EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"/lib/door.dwg"), stamp);
    }
    EXPECT_EQ(count(L"select count(*) from CacheDateStamp;"), 1);

    ASSERT_TRUE(SQliteUtils::deleteIconCacheDateRecord(L"/lib/door.dwg"));
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"/lib/door.dwg"), 0);
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, NullStampTextReadsAsZero) {
    ASSERT_TRUE(SQliteUtils::createIconCacheDateStampTable());
    CppSQLite3DB db;
    db.open(iconCache());
    db.exec(L"insert into CacheDateStamp values ('libdoordwg', NULL);");
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"lib.door.dwg"), 0);
}

TEST_F(IconCacheStore, DateStampsWithoutTheirTable) {
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"/lib/door.dwg"), 137);
    expectStorageErrorLine(L"SQLITE_ERROR[1]: no such table: CacheDateStamp", L"SQliteUtils::getIconCacheDateRecord");

    hosted::CommandLine::instance().clear();
    EXPECT_FALSE(SQliteUtils::setIconCacheDateRecord(5, L"/lib/door.dwg"));
    expectStorageErrorLine(L"SQLITE_ERROR[1]: no such table: CacheDateStamp", L"SQliteUtils::setIconCacheDateRecord");

    hosted::CommandLine::instance().clear();
    EXPECT_FALSE(SQliteUtils::deleteIconCacheDateRecord(L"/lib/door.dwg"));
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, HistoryRoundTripsInOrderAndIsReplaced) {
    EXPECT_TRUE(SQliteUtils::getHistory().empty());
    EXPECT_EQ(printed(), L"");

    const std::vector<std::wstring> history = {L"/lib/b.dwg", L"", L"/lib/O'Brien/\U0001F6AA.dwg", L"/lib/a.dwg"};
    ASSERT_TRUE(SQliteUtils::putHistory(history));
    EXPECT_EQ(SQliteUtils::getHistory(), history);

    ASSERT_TRUE(SQliteUtils::putHistory({}));
    EXPECT_TRUE(SQliteUtils::getHistory().empty());
    EXPECT_EQ(tables(), std::vector<std::wstring>{L"HISTORY"});
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, ListTablesAppendsEveryTableInNameOrder) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"A", 1)}, L"/lib/door.dwg"));
    ASSERT_TRUE(SQliteUtils::putHistory({L"/lib/door.dwg"}));
    std::vector<std::wstring> names = {L"kept"};
    EXPECT_EQ(SQliteUtils::listTables(iconCache().c_str(), names), 4);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"kept", L"/lib/doordwg", L"CacheDateStamp", L"HISTORY", L"sqlite_sequence"}));
    EXPECT_EQ(SQliteUtils::listTables(nullptr, names), 0);
    EXPECT_EQ(names.size(), 5u);
}

TEST_F(IconCacheStore, ListTablesOfAnEmptyFileAndOfAFileThatIsNoDatabase) {
    std::vector<std::wstring> names;
    EXPECT_EQ(SQliteUtils::listTables(file("empty.db").wstring().c_str(), names), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(printed(), L"");

    std::ofstream(file("notes.txt")) << std::string(4096, 'n');
    EXPECT_EQ(SQliteUtils::listTables(file("notes.txt").wstring().c_str(), names), 0);
    expectStorageErrorLine(L"UNKNOWN_ERROR[26]: file is not a database", L"SQliteUtils::listTables");
}

TEST_F(IconCacheStore, DeleteTableDropsTheCleanedName) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"A", 1)}, L"/lib/a-b.dwg"));
    EXPECT_TRUE(SQliteUtils::DeleteTable(iconCache().c_str(), L"/lib/ab.dwg"));
    EXPECT_EQ(count(L"select count(*) from sqlite_master where name = '/lib/abdwg';"), 0);
    EXPECT_TRUE(SQliteUtils::DeleteTable(iconCache().c_str(), L"/lib/ab.dwg"));
    EXPECT_FALSE(SQliteUtils::DeleteTable(nullptr, L"/lib/ab.dwg"));
    EXPECT_FALSE(SQliteUtils::DeleteTable(iconCache().c_str(), nullptr));
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, RenameTableKeepsBothNamesAsGiven) {
    const std::wstring db = file("FieldDb.db").wstring();
    {
        CppSQLite3DB fieldDb;
        fieldDb.open(db);
        fieldDb.exec(L"create table 'Set 1' (k text, v text);");
    }
    EXPECT_TRUE(SQliteUtils::RenameTable(db.c_str(), L"Set 1", L"Set 2.old"));
    std::vector<std::wstring> names;
    SQliteUtils::listTables(db.c_str(), names);
    EXPECT_EQ(names, std::vector<std::wstring>{L"Set 2.old"});
    EXPECT_FALSE(SQliteUtils::RenameTable(db.c_str(), nullptr, L"x"));
    EXPECT_EQ(printed(), L"");

    EXPECT_FALSE(SQliteUtils::RenameTable(db.c_str(), L"Set 1", L"Set 3"));
    expectStorageErrorLine(L"SQLITE_ERROR[1]: no such table: Set 1", L"SQliteUtils::RenameTable");
}

// Keys, table names and stamps used to be pasted into SQL text: a drawing in a folder
// named O'Brien made every statement on its entry invalid SQL.
TEST_F(IconCacheStore, ApostropheInDrawingPathIsCached) {
    const std::wstring key = L"/home/O'Brien/lib/door.dwg";
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"Door", 1)}, key));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(1700000000, key));
    std::vector<BlockInfo> read;
    ASSERT_TRUE(SQliteUtils::getIconCacheRecords(read, key));
    EXPECT_TRUE(sameRecords(read, {block(L"Door", 1)}));
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(key), 1700000000);

    EXPECT_TRUE(SQliteUtils::RenameTable(iconCache().c_str(), L"/home/O'Brien/lib/doordwg", L"O'Brien_old"));
    EXPECT_TRUE(SQliteUtils::DeleteTable(iconCache().c_str(), L"O'Brien_old"));
    EXPECT_TRUE(SQliteUtils::deleteIconCacheDateRecord(key));
    EXPECT_EQ(tables(), (std::vector<std::wstring>{L"CacheDateStamp", L"sqlite_sequence"}));
    EXPECT_EQ(printed(), L"");
}

// SQLite's table names ignore letter case but the existence test did not: the second
// drawing's CREATE failed and its records were appended to the first drawing's table.
TEST_F(IconCacheStore, KeyDifferingOnlyInCaseReplacesTheTable) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"A", 1), block(L"B", 2)}, L"/lib/Door.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"C", 3)}, L"/lib/DOOR.dwg"));
    EXPECT_EQ(printed(), L"");

    for (const wchar_t* key : {L"/lib/DOOR.dwg", L"/lib/Door.dwg"}) {
        std::vector<BlockInfo> read;
        ASSERT_TRUE(SQliteUtils::getIconCacheRecords(read, key));
        EXPECT_TRUE(sameRecords(read, {block(L"C", 3)})) << key;
    }
    EXPECT_EQ(tables(), (std::vector<std::wstring>{L"/lib/DOORdwg", L"CacheDateStamp", L"sqlite_sequence"}));
}

TEST_F(IconCacheStore, KeyDifferingOnlyInCaseDropsTheOtherKeysStamp) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"A", 1)}, L"/lib/Door.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(1700000000, L"/lib/Door.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"C", 3)}, L"/lib/DOOR.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(1800000000, L"/lib/DOOR.dwg"));
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"/lib/Door.dwg"), 0) << "Door's records are gone; so is its stamp";
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(L"/lib/DOOR.dwg"), 1800000000);
    EXPECT_EQ(printed(), L"");
}

// The real sqlite3 program, run on a copy of SQL in a script file; answers what it
// printed (UTF-8, list mode: columns separated by '|').
std::string runSqlite3(const fs::path& db, const fs::path& script, const std::string& sql) {
    std::ofstream(script) << sql;
    const std::string command = std::string(SQLITE3_PROGRAM) + " -batch -list '" + db.string() + "' < '" + script.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return "popen failed";
    std::string out;
    char chunk[4096];
    while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe.get())) out.append(chunk, n);
    return out;
}

std::string hex(const AcArray<Adesk::UInt8>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const Adesk::UInt8 b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
    return out;
}

TEST_F(IconCacheStore, Sqlite3ProgramReadsTheCacheAsWritten) {
    const std::vector<BlockInfo> doors = {block(L"Door", 1), block(L"T\u00FCr \U0001F6AA", 2)};
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords(doors, L"/lib/door.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(1700000000, L"/lib/door.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"Valve", 3)}, L"/home/O'Brien/lib/valve.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(-5, L"/home/O'Brien/lib/valve.dwg"));
    ASSERT_TRUE(SQliteUtils::putHistory({L"/lib/door.dwg", L"/home/O'Brien/lib/valve.dwg"}));
    const fs::path db = file("iconcache.db");
    const fs::path script = file("query.sql");

    EXPECT_EQ(runSqlite3(db, script, "PRAGMA encoding;"), "UTF-16le\n");
    EXPECT_EQ(runSqlite3(db, script, "SELECT name, sql FROM sqlite_master WHERE type='table' ORDER BY name;"),
              "/home/O'Brien/lib/valvedwg|CREATE TABLE '/home/O''Brien/lib/valvedwg' "
              "(key INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT,icon BLOB)\n"
              "/lib/doordwg|CREATE TABLE '/lib/doordwg' (key INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT,icon BLOB)\n"
              "CacheDateStamp|CREATE TABLE 'CacheDateStamp' (name TEXT unique,cachedate TEXT)\n"
              "HISTORY|CREATE TABLE 'HISTORY' (ITEM TEXT)\n"
              "sqlite_sequence|CREATE TABLE sqlite_sequence(name,seq)\n");
    EXPECT_EQ(runSqlite3(db, script, "SELECT name, typeof(cachedate), cachedate FROM CacheDateStamp ORDER BY name;"),
              "/home/O'Brien/lib/valvedwg|text|-5\n/lib/doordwg|text|1700000000\n");
    std::string expectedIcons;
    for (const BlockInfo& b : doors) expectedIcons += hostrx::wideToUtf8(b.name) + "|" + hex(b.previewIcon) + "\n";
    EXPECT_EQ(runSqlite3(db, script, "SELECT name, hex(icon) FROM '/lib/doordwg' ORDER BY key;"), expectedIcons);
    EXPECT_EQ(runSqlite3(db, script, "SELECT ITEM FROM HISTORY ORDER BY rowid;"),
              "/lib/door.dwg\n/home/O'Brien/lib/valve.dwg\n");
}

// --- a damaged icon cache ---

std::string randomBytes(std::size_t n) {
    std::string bytes(n, '\0');
    unsigned state = 12345;
    for (char& c : bytes) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files set aside in the folder, by name.
std::vector<fs::path> damagedFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".damaged-") != std::string::npos) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

const std::wstring kSetAsideHead = L"\nThe icon cache could not be read as a database: it is set aside as ";

// Whatever operation meets the damaged cache first: it fails as on any storage error,
// but the one line it prints is the set-aside line, the bytes are kept under the new
// name, and the next operations make and use a new cache.
TEST_F(IconCacheStore, EveryOperationSetsADamagedCacheAsideAndTheNextOnesWork) {
    const std::wstring cache = iconCache();
    const struct {
        const char* name;
        std::function<bool()> failed;
    } cases[] = {
        {"getHistory", [] { return SQliteUtils::getHistory().empty(); }},
        {"putHistory", [] { return !SQliteUtils::putHistory({L"/lib/a.dwg"}); }},
        {"createHistoryTable", [] { return !SQliteUtils::createHistoryTable(); }},
        {"getIconCacheRecords", [] {
             std::vector<BlockInfo> records;
             return !SQliteUtils::getIconCacheRecords(records, L"/lib/a.dwg");
         }},
        {"setIconCacheRecords", [] { return !SQliteUtils::setIconCacheRecords({block(L"A", 1)}, L"/lib/a.dwg"); }},
        {"getIconCacheDateRecord", [] { return SQliteUtils::getIconCacheDateRecord(L"/lib/a.dwg") == 137; }},
        {"setIconCacheDateRecord", [] { return !SQliteUtils::setIconCacheDateRecord(5, L"/lib/a.dwg"); }},
        {"deleteIconCacheDateRecord", [] { return !SQliteUtils::deleteIconCacheDateRecord(L"/lib/a.dwg"); }},
        {"createIconCacheTable", [] { return !SQliteUtils::createIconCacheTable(L"/lib/a.dwg"); }},
        {"createIconCacheDateStampTable", [] { return !SQliteUtils::createIconCacheDateStampTable(); }},
        {"DeleteTable", [cache] { return !SQliteUtils::DeleteTable(cache.c_str(), L"/lib/a.dwg"); }},
        {"listTables", [cache] {
             std::vector<std::wstring> names;
             return SQliteUtils::listTables(cache.c_str(), names) == 0;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const fs::path& old : damagedFiles(file(""))) fs::remove(old);
        hosted::CommandLine::instance().clear();
        const std::string junk = randomBytes(8192);
        std::ofstream(file("iconcache.db"), std::ios::binary) << junk;

        EXPECT_TRUE(c.failed());
        const auto aside = damagedFiles(file(""));
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(contents(aside[0]), junk);
        EXPECT_EQ(printed(), kSetAsideHead + aside[0].wstring() +
                                 L", and a new one is made; the block lists and the history list it held are gone.");

        ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"Door", 1)}, L"/lib/door.dwg"));
        std::vector<BlockInfo> back;
        EXPECT_TRUE(SQliteUtils::getIconCacheRecords(back, L"/lib/door.dwg"));
        EXPECT_EQ(back.size(), 1u);
        EXPECT_EQ(damagedFiles(file("")).size(), 1u);
    }
}

// A copy cut short keeps SQLite's header but not the pages it promises.
TEST_F(IconCacheStore, ATruncatedCacheIsSetAsideToo) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"Door", 1), block(L"Window", 2)}, L"/lib/door.dwg"));
    ASSERT_TRUE(SQliteUtils::putHistory({L"/lib/door.dwg"}));
    const std::string whole = contents(file("iconcache.db"));
    std::ofstream(file("iconcache.db"), std::ios::binary | std::ios::trunc) << whole.substr(0, 1000);

    EXPECT_TRUE(SQliteUtils::getHistory().empty());
    ASSERT_EQ(damagedFiles(file("")).size(), 1u);
    EXPECT_TRUE(printed().starts_with(kSetAsideHead)) << testing::PrintToString(printed());
    EXPECT_TRUE(SQliteUtils::putHistory({L"/lib/window.dwg"}));
    EXPECT_EQ(SQliteUtils::getHistory(), (std::vector<std::wstring>{L"/lib/window.dwg"}));
}

// Other files hold what the user made (the field sets): their errors are reported as
// they always were, and they stay where they are, byte for byte.
TEST_F(IconCacheStore, AnotherFileThatIsNoDatabaseIsNeverSetAside) {
    const fs::path fieldDb = file("FieldDb.db");
    const std::string junk = randomBytes(8192);
    std::ofstream(fieldDb, std::ios::binary) << junk;
    const std::wstring path = fieldDb.wstring();
    std::vector<std::wstring> names;
    EXPECT_EQ(SQliteUtils::listTables(path.c_str(), names), 0);
    EXPECT_FALSE(SQliteUtils::DeleteTable(path.c_str(), L"Doors"));
    EXPECT_FALSE(SQliteUtils::dropTable(path.c_str(), L"Doors"));
    EXPECT_FALSE(SQliteUtils::RenameTable(path.c_str(), L"Doors", L"Windows"));
    EXPECT_EQ(contents(fieldDb), junk);
    EXPECT_TRUE(damagedFiles(file("")).empty());
    EXPECT_EQ(printed().find(L"set aside"), std::wstring::npos);
    for (const wchar_t* operation : {L"listTables", L"DeleteTable", L"dropTable", L"RenameTable"})
        EXPECT_NE(printed().find(L"file is not a database SQliteUtils::" + std::wstring(operation) + L" "), std::wstring::npos)
            << testing::PrintToString(operation);
}

// Two damaged caches in one second: the second goes aside beside the first, which stays.
TEST(DamagedFileName, NeverNamesAFileThatIsThere) {
    FreshFolder folder;
    const std::wstring path = (folder.path() / "iconcache.db").wstring();
    const std::time_t when = std::time(nullptr);
    const std::wstring first = damagedFileName(path, when);
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    EXPECT_EQ(first, path + L".damaged-" + hostrx::utf8ToWide(stamp));
    std::ofstream(fs::path(first)) << "first";
    EXPECT_EQ(damagedFileName(path, when), first + L"-2");
    std::ofstream(fs::path(first + L"-2")) << "second";
    EXPECT_EQ(damagedFileName(path, when), first + L"-3");
}

// The name index, read by the sqlite3 program. A file nobody searched has none; the
// first search builds it from the icon tables, and from then on every write and clear
// of an icon table keeps it current.
TEST_F(IconCacheStore, NameIndexIsBuiltAtTheFirstSearchAndKeptCurrent) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"Door", 1), block(L"T\u00FCrgriff", 2)}, L"/lib/door.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"Valve", 3)}, L"/lib/valve.dwg"));
    ASSERT_TRUE(SQliteUtils::putHistory({L"/lib/door.dwg"}));
    const fs::path db = file("iconcache.db");
    const fs::path script = file("query.sql");
    const std::string tablesBefore = runSqlite3(db, script, ".tables");
    EXPECT_EQ(tablesBefore.find("BlockNameIndex"), std::string::npos) << "an old file, or one nobody searched";
    const std::string indexRows = "SELECT tablekey, rowkey, name, folded FROM BlockNameIndex ORDER BY tablekey, rowkey;";

    const std::vector<BlockNameIndex::Hit> found = BlockNameIndex::find(std::wstring(L"\u00DCR"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, L"T\u00FCrgriff");
    EXPECT_EQ(found[0].table, L"/lib/doordwg");
    const AcArray<Adesk::UInt8> icon = makeIcon(2);
    EXPECT_EQ(BlockNameIndex::icon(found[0].table, found[0].rowKey), std::vector<std::uint8_t>(icon.begin(), icon.end()));
    EXPECT_EQ(BlockNameIndex::find(std::nullopt).size(), 3u);
    EXPECT_EQ(runSqlite3(db, script, indexRows),
              "/lib/doordwg|1|Door|DOOR\n/lib/doordwg|2|T\u00FCrgriff|T\u00DCRGRIFF\n/lib/valvedwg|1|Valve|VALVE\n");

    // Written anew, also under a key differing only in case: the rows follow the table.
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"Gate", 4)}, L"/lib/DOOR.dwg"));
    EXPECT_EQ(runSqlite3(db, script, indexRows), "/lib/DOORdwg|1|Gate|GATE\n/lib/valvedwg|1|Valve|VALVE\n");
    // Clearing one item, then all of them.
    ASSERT_TRUE(SQliteUtils::DeleteTable(iconCache().c_str(), L"/lib/valve.dwg"));
    EXPECT_EQ(runSqlite3(db, script, indexRows), "/lib/DOORdwg|1|Gate|GATE\n");
    ASSERT_TRUE(SQliteUtils::DeleteTable(iconCache().c_str(), L"/lib/DOOR.dwg"));
    EXPECT_EQ(runSqlite3(db, script, indexRows), "");
    EXPECT_EQ(runSqlite3(db, script, "SELECT count(*) FROM HISTORY;"), "1\n") << "the other tables are as they were";
    EXPECT_EQ(printed(), L"");
}

TEST_F(IconCacheStore, CachedEntriesTellWhichAreCurrent) {
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"A", 1)}, L"/lib/stamped.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(1700000000, L"/lib/stamped.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheRecords({block(L"B", 1)}, L"/lib/unstamped.dwg"));
    ASSERT_TRUE(SQliteUtils::setIconCacheDateRecord(1700000000, L"/lib/gone.dwg"));
    const BlockNameIndex::CachedEntries cache = BlockNameIndex::cachedEntries();
    const struct {
        const wchar_t* table;
        std::int64_t fileTime;
        bool current;
    } cases[] = {
        {L"/lib/stampeddwg", 1700000000, true},
        {L"/lib/stampeddwg", 1700000001, false},
        {L"/lib/STAMPEDdwg", 0, true},  // the table by SQLite's lookup, without a stamp of that name: 0
        {L"/lib/unstampeddwg", 0, true},
        {L"/lib/unstampeddwg", 1700000000, false},
        {L"/lib/gonedwg", 1700000000, false},
    };
    for (const auto& c : cases) EXPECT_EQ(cache.isCurrent(c.table, c.fileTime), c.current) << hostrx::wideToUtf8(c.table);
}

}  // namespace
