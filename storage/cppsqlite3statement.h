#pragma once

#include "storage/sqlitehandles.h"

#include <string_view>

// A compiled statement with parameters, run once per set of bindings. It owns the
// compiled statement and borrows the connection, so it must end (finalize or
// destruction) before the connection closes. Parameter numbers start at 1.
class CppSQLite3Statement {
public:
    CppSQLite3Statement(sqlite3* db, StatementHandle statement);
    virtual ~CppSQLite3Statement();
    CppSQLite3Statement(CppSQLite3Statement&&) noexcept = default;
    CppSQLite3Statement& operator=(CppSQLite3Statement&&) noexcept = default;
    CppSQLite3Statement(const CppSQLite3Statement&) = delete;
    CppSQLite3Statement& operator=(const CppSQLite3Statement&) = delete;

    // Both copy the value into SQLite. A null data pointer binds SQL NULL.
    void bindText(int parameter, std::wstring_view text);
    void bindBlob(int parameter, const unsigned char* data, int length);
    // Runs once and answers the number of changed rows. It leaves the statement reset
    // with its bindings in place, ready for the next run; a failure throws SQLite's
    // specific code (for example SQLITE_CONSTRAINT) as the reset reports it.
    int exec();
    void reset();
    void finalize();

private:
    void checkStatement() const;

    sqlite3* m_db;
    StatementHandle m_statement;
};
