#include "storage/cppsqlite3statement.h"

#include "storage/cppsqlite3exception.h"

CppSQLite3Statement::CppSQLite3Statement(sqlite3* db, StatementHandle statement)
    : m_db(db), m_statement(std::move(statement)) {}

// The statement handle finalizes itself; its result has no one left to tell.
CppSQLite3Statement::~CppSQLite3Statement() = default;

void CppSQLite3Statement::bindText(int parameter, std::wstring_view text) {
    checkStatement();
    bindTextParameter(m_statement.get(), parameter, text);
}

void CppSQLite3Statement::bindBlob(int parameter, const unsigned char* data, int length) {
    checkStatement();
    const int result = sqlite3_bind_blob(m_statement.get(), parameter, data, length, SQLITE_TRANSIENT);
    if (result != SQLITE_OK) throw CppSQLite3Exception(result, L"Error binding blob param");
}

int CppSQLite3Statement::exec() {
    if (!m_db) throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Database not open");
    checkStatement();
    if (sqlite3_step(m_statement.get()) != SQLITE_DONE) throwSqliteError(sqlite3_reset(m_statement.get()), m_db);
    const int changes = sqlite3_changes(m_db);
    reset();
    return changes;
}

void CppSQLite3Statement::reset() {
    if (!m_statement) return;
    const int result = sqlite3_reset(m_statement.get());
    if (result != SQLITE_OK) throwSqliteError(result, m_db);
}

void CppSQLite3Statement::finalize() { finalizeOrThrow(m_statement, m_db); }

void CppSQLite3Statement::checkStatement() const { requireStatement(m_statement); }
