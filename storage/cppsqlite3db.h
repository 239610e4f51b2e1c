#pragma once

#include "storage/cppsqlite3query.h"
#include "storage/cppsqlite3statement.h"

#include <initializer_list>
#include <string_view>

// One connection to an SQLite file. Callers make one per operation on the stack, open
// it once and let it close at the end of the operation; queries and statements it
// hands out must end first. All text crosses as wide text; the file is written through
// SQLite's UTF-16 interface, so a file that opening creates has UTF-16 text encoding.
// Every failure throws CppSQLite3Exception.
class CppSQLite3DB {
public:
    // Text values for the parameters ?1, ?2, ... of one statement, in order. Values go
    // to SQLite as bound parameters, never as SQL text.
    using TextParams = std::initializer_list<std::wstring_view>;

    CppSQLite3DB();
    virtual ~CppSQLite3DB();
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;

    // Opens read-write, creating the file when missing. Another holder of the file is
    // waited for up to the busy timeout on every blocked call.
    void open(std::wstring_view path);
    // Refuses (throws SQLITE_BUSY) while a query or statement of the connection lives.
    void close();
    // Runs a statement that returns no rows. Any step that does not complete throws,
    // SQLITE_BUSY included; answers the finalize result, which is then SQLITE_OK.
    int exec(std::wstring_view sql, TextParams params = {});
    // Runs a statement that returns rows, positioned on the first row or at end.
    CppSQLite3Query query(std::wstring_view sql, TextParams params = {});
    // The integer that column 0 of the first row reads as.
    int scalar(std::wstring_view sql, TextParams params = {});
    // Matches the name as SQLite matches table names: ASCII letters without regard to
    // case, everything else exactly.
    bool hasTable(std::wstring_view name);
    CppSQLite3Statement prepare(std::wstring_view sql);

protected:
    // Test seam: a connection that gives up on a held file sooner. Everything else
    // uses the public constructor and its one minute.
    explicit CppSQLite3DB(int busyTimeoutMs);

private:
    void checkOpen() const;
    StatementHandle compile(std::wstring_view sql, TextParams params);

    sqlite3* m_db = nullptr;
    int m_busyTimeoutMs;
};
