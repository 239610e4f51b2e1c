#include "storage/cppsqlite3query.h"

#include "storage/cppsqlite3exception.h"
#include "storage/utf16.h"

CppSQLite3Query::CppSQLite3Query(sqlite3* db, StatementHandle statement, bool atEnd)
    : m_db(db), m_statement(std::move(statement)), m_atEnd(atEnd),
      m_columnCount(sqlite3_column_count(m_statement.get())) {}

// The statement handle finalizes itself; its result has no one left to tell.
CppSQLite3Query::~CppSQLite3Query() = default;

bool CppSQLite3Query::atEnd() const {
    checkStatement();
    return m_atEnd;
}

void CppSQLite3Query::next() {
    checkStatement();
    const int result = sqlite3_step(m_statement.get());
    if (result == SQLITE_DONE || result == SQLITE_ROW) {
        m_atEnd = result == SQLITE_DONE;
        return;
    }
    throwSqliteError(finalizeNow(m_statement), m_db);
}

int CppSQLite3Query::columnCount() const {
    checkStatement();
    return m_columnCount;
}

int CppSQLite3Query::columnType(int column) const {
    checkColumn(column);
    return sqlite3_column_type(m_statement.get(), column);
}

std::wstring CppSQLite3Query::columnText(int column) const {
    checkColumn(column);
    // The text first, then its length: the length call must see the converted value.
    const void* text = sqlite3_column_text16(m_statement.get(), column);
    const auto units = static_cast<std::size_t>(sqlite3_column_bytes16(m_statement.get(), column)) / 2;
    return text ? fromUtf16(std::u16string_view(static_cast<const char16_t*>(text), units)) : std::wstring();
}

std::wstring CppSQLite3Query::textOr(int column, std::wstring_view fallback) const {
    if (columnType(column) == SQLITE_NULL) return std::wstring(fallback);
    return columnText(column);
}

const unsigned char* CppSQLite3Query::blob(int column, int& length) const {
    checkColumn(column);
    length = sqlite3_column_bytes16(m_statement.get(), column);
    return static_cast<const unsigned char*>(sqlite3_column_blob(m_statement.get(), column));
}

void CppSQLite3Query::finalize() { finalizeOrThrow(m_statement, m_db); }

void CppSQLite3Query::checkStatement() const { requireStatement(m_statement); }

void CppSQLite3Query::checkColumn(int column) const {
    checkStatement();
    if (column < 0 || column >= m_columnCount)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Invalid field index requested");
}
