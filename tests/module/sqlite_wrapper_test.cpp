#include "storage/cppsqlite3db.h"
#include "storage/cppsqlite3exception.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// Fails unless the call throws the wrapper's exception with this code and message.
void expectError(const std::function<void()>& call, int code, const std::wstring& message) {
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const CppSQLite3Exception& e) {
        EXPECT_EQ(e.code(), code);
        EXPECT_EQ(std::wstring(e.message()), message);
    }
}

// A connection that waits only briefly for another holder of its file.
class ShortWaitDB : public CppSQLite3DB {
public:
    ShortWaitDB() : CppSQLite3DB(50) {}
};

class SqliteWrapper : public ::testing::Test {
protected:
    std::filesystem::path file(const char* name) const { return m_folder.path() / name; }
    std::wstring path(const char* name = "test.db") const { return file(name).wstring(); }

    // A file holding table t (x unique) with the given values.
    void makeTable(std::initializer_list<int> values) {
        CppSQLite3DB db;
        db.open(path());
        db.exec(L"create table t (x integer unique);");
        for (int v : values) db.exec(L"insert into t values (" + std::to_wstring(v) + L");");
    }

private:
    FreshFolder m_folder;
};

TEST(CppSQLite3ExceptionMessage, NamesTheCodeFromTheTable) {
    const struct {
        int code;
        const wchar_t* name;
    } cases[] = {
        {0, L"SQLITE_OK"},          {1, L"SQLITE_ERROR"},    {5, L"SQLITE_BUSY"},         {14, L"SQLITE_CANTOPEN"},
        {19, L"SQLITE_CONSTRAINT"}, {25, L"SQLITE_RANGE"},   {26, L"UNKNOWN_ERROR"},      {99, L"UNKNOWN_ERROR"},
        {100, L"SQLITE_ROW"},       {101, L"SQLITE_DONE"},   {102, L"UNKNOWN_ERROR"},     {999, L"UNKNOWN_ERROR"},
        {1000, L"CPPSQLITE_ERROR"}, {1001, L"UNKNOWN_ERROR"}, {-1, L"UNKNOWN_ERROR"},
    };
    for (const auto& c : cases) {
        const CppSQLite3Exception e(c.code, L"detail");
        EXPECT_EQ(e.code(), c.code);
        EXPECT_EQ(std::wstring(e.message()), std::wstring(c.name) + L"[" + std::to_wstring(c.code) + L"]: detail");
    }
    EXPECT_STREQ(CppSQLite3Exception(5).message(), L"SQLITE_BUSY[5]: ");
}

TEST_F(SqliteWrapper, ClosedConnectionRefusesEveryOperation) {
    CppSQLite3DB neverOpened;
    CppSQLite3DB closed;
    closed.open(path());
    closed.close();
    for (CppSQLite3DB* db : {&neverOpened, &closed}) {
        const std::function<void()> calls[] = {
            [db] { db->exec(L"create table t (x);"); },
            [db] { db->query(L"select 1;"); },
            [db] { db->scalar(L"select 1;"); },
            [db] { db->hasTable(L"t"); },
            [db] { db->prepare(L"select 1;"); },
        };
        for (const auto& call : calls) expectError(call, 1000, L"CPPSQLITE_ERROR[1000]: Database not open");
    }
}

TEST_F(SqliteWrapper, OpenFailuresCarrySqlitesCode) {
    CppSQLite3DB missingFolder;
    expectError([&] { missingFolder.open(path("no-such-folder/test.db")); }, 14,
                L"SQLITE_CANTOPEN[14]: unable to open database file");

    std::ofstream(file("junk.db")) << std::string(4096, 'j');
    CppSQLite3DB junk;
    junk.open(path("junk.db"));
    expectError([&] { junk.query(L"select * from sqlite_master;"); }, 26,
                L"UNKNOWN_ERROR[26]: file is not a database");
}

TEST_F(SqliteWrapper, NewFileHasUtf16TextEncoding) {
    CppSQLite3DB db;
    db.open(path());
    EXPECT_EQ(db.query(L"pragma encoding;").columnText(0), L"UTF-16le");
}

TEST_F(SqliteWrapper, ExecErrorsCarryTheCompileCodeOrCodeOne) {
    makeTable({1});
    CppSQLite3DB db;
    db.open(path());
    expectError([&] { db.exec(L"selec 1;"); }, 1, L"SQLITE_ERROR[1]: near \"selec\": syntax error");
    expectError([&] { db.exec(L"insert into t values (1);"); }, 1, L"SQLITE_ERROR[1]: UNIQUE constraint failed: t.x");
    expectError([&] { db.exec(L"  -- nothing to run"); }, 1000, L"CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
}

// The one way the module inserts: one statement, bound and run once per row.
TEST_F(SqliteWrapper, StatementConstraintFailureCarriesTheResetCodeAndStaysUsable) {
    makeTable({});
    CppSQLite3DB db;
    db.open(path());
    CppSQLite3Statement insert = db.prepare(L"insert into t values (?);");
    insert.bindText(1, L"7");
    EXPECT_EQ(insert.exec(), 1);
    expectError([&] { insert.exec(); }, 19, L"SQLITE_CONSTRAINT[19]: UNIQUE constraint failed: t.x");
    insert.bindText(1, L"8");
    EXPECT_EQ(insert.exec(), 1);
    insert.finalize();
    EXPECT_EQ(db.scalar(L"select count(*) from t;"), 2);
}

TEST_F(SqliteWrapper, ScalarReadsTheLeadingIntegerOfTheFirstRow) {
    makeTable({3, 4});
    CppSQLite3DB db;
    db.open(path());
    EXPECT_EQ(db.scalar(L"select x from t order by x desc;"), 4);
    EXPECT_EQ(db.scalar(L"select ' -42abc';"), -42);
    EXPECT_EQ(db.scalar(L"select null;"), 0);
    EXPECT_EQ(db.scalar(L"select 99999999999;"), INT_MAX);
    EXPECT_EQ(db.scalar(L"select count(*) from t where x > ?;", {L"3"}), 1);
    expectError([&] { db.scalar(L"select x from t where x > 10;"); }, 1000,
                L"CPPSQLITE_ERROR[1000]: Invalid scalar query");
}

TEST_F(SqliteWrapper, QueryReadsTextBlobAndNullColumns) {
    CppSQLite3DB db;
    db.open(path());
    db.exec(L"create table r (name text, icon blob);");
    const std::vector<unsigned char> icon = {0, 1, 0xFF, 0, 0x28};
    {
        CppSQLite3Statement insert = db.prepare(L"insert into r values (?, ?);");
        insert.bindText(1, L"T\u00FCr \U0001F6AA");
        insert.bindBlob(2, icon.data(), static_cast<int>(icon.size()));
        insert.exec();
        insert.bindBlob(1, nullptr, 0);
        insert.bindBlob(2, nullptr, 0);
        insert.exec();
    }
    CppSQLite3Query q = db.query(L"select name, icon from r order by rowid;");
    ASSERT_FALSE(q.atEnd());
    EXPECT_EQ(q.columnCount(), 2);
    EXPECT_EQ(q.columnText(0), L"T\u00FCr \U0001F6AA");
    int length = -1;
    const unsigned char* bytes = q.blob(1, length);
    ASSERT_EQ(length, 5);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + length), icon);

    q.next();
    ASSERT_FALSE(q.atEnd());
    EXPECT_EQ(q.columnType(0), SQLITE_NULL);
    EXPECT_EQ(q.textOr(0), L"");
    EXPECT_EQ(q.textOr(0, L"none"), L"none");
    EXPECT_EQ(q.blob(1, length), nullptr);
    EXPECT_EQ(length, 0);

    q.next();
    EXPECT_TRUE(q.atEnd());
}

TEST_F(SqliteWrapper, ColumnIndexOutsideTheRowIsRefused) {
    CppSQLite3DB db;
    db.open(path());
    CppSQLite3Query q = db.query(L"select 1, 2;");
    int length = 0;
    for (int column : {-1, 2}) {
        const std::function<void()> calls[] = {
            [&] { q.columnType(column); },
            [&] { q.columnText(column); },
            [&] { q.textOr(column); },
            [&] { q.blob(column, length); },
        };
        for (const auto& call : calls) expectError(call, 1000, L"CPPSQLITE_ERROR[1000]: Invalid field index requested");
    }
}

TEST_F(SqliteWrapper, FinalizedQueryAndStatementRefuseFurtherUse) {
    CppSQLite3DB db;
    db.open(path());
    CppSQLite3Query q = db.query(L"select 1;");
    q.finalize();
    q.finalize();
    CppSQLite3Statement s = db.prepare(L"select ?;");
    s.finalize();
    const std::function<void()> calls[] = {
        [&] { q.atEnd(); },
        [&] { q.next(); },
        [&] { q.columnCount(); },
        [&] { q.columnText(0); },
        [&] { s.bindText(1, L"x"); },
        [&] { s.bindBlob(1, nullptr, 0); },
        [&] { s.exec(); },
    };
    for (const auto& call : calls) expectError(call, 1000, L"CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(SqliteWrapper, FailedStepReleasesTheStatementSoTheConnectionCloses) {
    makeTable({1, 2});
    CppSQLite3DB db;
    db.open(path());
    const wchar_t* overflowOnSecondRow =
        L"select case when x = 2 then abs(-9223372036854775807 - 1) else x end from t order by x;";
    CppSQLite3Query q = db.query(overflowOnSecondRow);
    EXPECT_EQ(q.columnText(0), L"1");
    expectError([&] { q.next(); }, 1, L"SQLITE_ERROR[1]: integer overflow");
    expectError([&] { q.atEnd(); }, 1000, L"CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
    EXPECT_NO_THROW(db.close());

    db.open(path());
    expectError([&] { db.query(L"select abs(-9223372036854775807 - 1);"); }, 1, L"SQLITE_ERROR[1]: integer overflow");
    EXPECT_NO_THROW(db.close());
}

TEST_F(SqliteWrapper, CloseRefusesWhileAStatementLives) {
    CppSQLite3DB db;
    db.open(path());
    CppSQLite3Statement s = db.prepare(L"select 1;");
    expectError([&] { db.close(); }, 5,
                L"SQLITE_BUSY[5]: unable to close due to unfinalized statements or unfinished backups");
    s.finalize();
    EXPECT_NO_THROW(db.close());
}

// A failed commit used to come back as exec's ignored return value, so callers took a
// transaction that never reached the file for written.
TEST_F(SqliteWrapper, ExecThrowsWhenCommitMeetsABusyFile) {
    makeTable({});
    ShortWaitDB reader;
    reader.open(path());
    reader.exec(L"begin transaction;");
    CppSQLite3Query readLock = reader.query(L"select * from t;");

    ShortWaitDB writer;
    writer.open(path());
    writer.exec(L"begin transaction;");
    writer.exec(L"insert into t values (1);");
    expectError([&] { writer.exec(L"commit transaction;"); }, 5, L"SQLITE_BUSY[5]: database is locked");
    writer.close();

    readLock.finalize();
    reader.exec(L"commit transaction;");
    CppSQLite3DB check;
    check.open(path());
    EXPECT_EQ(check.scalar(L"select count(*) from t;"), 0);
}

// Answers what SQLite itself finds under the name: CREATE TABLE fails exactly when a
// table of that name exists.
bool sqliteFindsTable(CppSQLite3DB& db, const std::wstring& quotedName) {
    try {
        db.exec(L"create table " + quotedName + L" (x);");
    } catch (const CppSQLite3Exception&) {
        return true;
    }
    db.exec(L"drop table " + quotedName + L";");
    return false;
}

// The test used to paste the name into SQL text (an apostrophe broke the statement) and
// compare it case-sensitively (a name differing only in letter case was missed, though
// SQLite takes it for the same table).
TEST_F(SqliteWrapper, HasTableAgreesWithSqliteOnApostrophesAndLetterCase) {
    CppSQLite3DB db;
    db.open(path());
    db.exec(L"create table 'O''Brien' (x);");
    db.exec(L"create table 'Door' (x);");
    db.exec(L"create table '\u00C9tage' (x);");
    const struct {
        const wchar_t* name;
        const wchar_t* quoted;
        bool exists;
    } probes[] = {
        {L"O'Brien", L"'O''Brien'", true},     {L"o'brien", L"'o''brien'", true},
        {L"Door", L"'Door'", true},            {L"DOOR", L"'DOOR'", true},
        {L"door", L"'door'", true},            {L"Doors", L"'Doors'", false},
        {L"\u00C9tage", L"'\u00C9tage'", true}, {L"\u00E9tage", L"'\u00E9tage'", false},
        {L"x' or '1'='1", L"'x'' or ''1''=''1'", false},
    };
    for (const auto& p : probes) {
        EXPECT_EQ(db.hasTable(p.name), p.exists) << p.quoted;
        EXPECT_EQ(sqliteFindsTable(db, p.quoted), p.exists) << p.quoted;
    }
}

}  // namespace
