#pragma once

#include "storage/sqlitehandles.h"

#include <string>
#include <string_view>

// A running query positioned on its current row. It owns its compiled statement and
// borrows the connection, so it must end (finalize or destruction) before the
// connection closes. Handed out by value and moved, never shared.
class CppSQLite3Query {
public:
    CppSQLite3Query(sqlite3* db, StatementHandle statement, bool atEnd);
    virtual ~CppSQLite3Query();
    CppSQLite3Query(CppSQLite3Query&&) noexcept = default;
    CppSQLite3Query& operator=(CppSQLite3Query&&) noexcept = default;
    CppSQLite3Query(const CppSQLite3Query&) = delete;
    CppSQLite3Query& operator=(const CppSQLite3Query&) = delete;

    bool atEnd() const;
    // A failed step releases the statement before it throws, so that the connection
    // can still be closed.
    void next();
    int columnCount() const;
    int columnType(int column) const;
    std::wstring columnText(int column) const;
    // The module reads every text column this way: SQL NULL reads as the fallback.
    std::wstring textOr(int column, std::wstring_view fallback = {}) const;
    // The bytes of a BLOB column, valid until the next step; SQL NULL gives a null
    // pointer and length 0.
    const unsigned char* blob(int column, int& length) const;
    void finalize();

private:
    void checkStatement() const;
    void checkColumn(int column) const;

    sqlite3* m_db;
    StatementHandle m_statement;
    bool m_atEnd;
    int m_columnCount;
};
