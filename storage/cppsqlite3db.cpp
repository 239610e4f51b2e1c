#include "storage/cppsqlite3db.h"

#include "storage/cppsqlite3exception.h"
#include "storage/decimaltext.h"
#include "storage/utf16.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kDefaultBusyTimeoutMs = 60000;

}  // namespace

CppSQLite3DB::CppSQLite3DB() : CppSQLite3DB(kDefaultBusyTimeoutMs) {}

CppSQLite3DB::CppSQLite3DB(int busyTimeoutMs) : m_busyTimeoutMs(busyTimeoutMs) {}

CppSQLite3DB::~CppSQLite3DB() {
    // The plain close refuses while statements of the connection live; the _v2 form
    // then closes when the last of them is finalized, so the handle is never leaked.
    if (m_db && sqlite3_close(m_db) != SQLITE_OK) sqlite3_close_v2(m_db);
}

void CppSQLite3DB::open(std::wstring_view path) {
    close();
    // On failure SQLite still hands out a handle (holding the error text); the object
    // keeps it and releases it at destruction.
    const int result = sqlite3_open16(toUtf16(path).c_str(), &m_db);
    if (result != SQLITE_OK) throwSqliteError(result, m_db);
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
}

void CppSQLite3DB::close() {
    if (!m_db) return;
    const int result = sqlite3_close(m_db);
    if (result != SQLITE_OK) throwSqliteError(result, m_db);
    m_db = nullptr;
}

int CppSQLite3DB::exec(std::wstring_view sql, TextParams params) {
    checkOpen();
    for (;;) {
        StatementHandle statement = compile(sql, params);
        const int stepResult = sqlite3_step(statement.get());
        if (stepResult == SQLITE_ERROR) {
            finalizeNow(statement);
            throwSqliteError(SQLITE_ERROR, m_db);
        }
        const int finalizeResult = finalizeNow(statement);
        if (finalizeResult == SQLITE_SCHEMA) continue;
        // Under the legacy interface SQLITE_BUSY (the busy timeout ran out) and
        // SQLITE_MISUSE come back from the step itself. The statement did not run: a
        // "commit transaction;" that meets them has committed nothing.
        if (stepResult != SQLITE_DONE && stepResult != SQLITE_ROW) throwSqliteError(stepResult, m_db);
        return finalizeResult;
    }
}

CppSQLite3Query CppSQLite3DB::query(std::wstring_view sql, TextParams params) {
    checkOpen();
    for (;;) {
        StatementHandle statement = compile(sql, params);
        const int stepResult = sqlite3_step(statement.get());
        if (stepResult == SQLITE_DONE || stepResult == SQLITE_ROW)
            return CppSQLite3Query(m_db, std::move(statement), stepResult == SQLITE_DONE);
        const int finalizeResult = finalizeNow(statement);
        if (finalizeResult != SQLITE_SCHEMA) throwSqliteError(finalizeResult, m_db);
    }
}

int CppSQLite3DB::scalar(std::wstring_view sql, TextParams params) {
    CppSQLite3Query result = query(sql, params);
    if (result.atEnd() || result.columnCount() < 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Invalid scalar query");
    const std::int64_t value = parseLeadingDecimal(result.columnText(0));
    result.finalize();
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

bool CppSQLite3DB::hasTable(std::wstring_view name) {
    // NOCASE folds exactly the ASCII letters, as SQLite does when it looks a table up,
    // so this answers what a following CREATE or DROP of the name will find.
    return scalar(L"select count(*) from sqlite_master where type='table' and name=? collate nocase", {name}) > 0;
}

CppSQLite3Statement CppSQLite3DB::prepare(std::wstring_view sql) {
    checkOpen();
    return CppSQLite3Statement(m_db, compile(sql, {}));
}

void CppSQLite3DB::checkOpen() const {
    if (!m_db) throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Database not open");
}

// The legacy sqlite3_prepare16 on purpose: under it a step reports a run-time error as
// SQLITE_ERROR and the specific code comes from reset or finalize, which is what the
// callers' error codes are built on.
StatementHandle CppSQLite3DB::compile(std::wstring_view sql, TextParams params) {
    checkOpen();
    sqlite3_stmt* compiled = nullptr;
    const int result = sqlite3_prepare16(m_db, toUtf16(sql).c_str(), -1, &compiled, nullptr);
    StatementHandle statement(compiled);
    if (result != SQLITE_OK) throwSqliteError(result, m_db);
    // A text holding no statement (blank, or a comment only) compiles to nothing.
    if (!statement) throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Null Virtual Machine pointer");
    int parameter = 1;
    for (const std::wstring_view value : params) bindTextParameter(statement.get(), parameter++, value);
    return statement;
}
