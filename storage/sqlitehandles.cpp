#include "storage/sqlitehandles.h"

#include "storage/cppsqlite3exception.h"
#include "storage/utf16.h"

void throwSqliteError(int code, sqlite3* db) { throw CppSQLite3Exception(code, fromUtf16(sqlite3_errmsg16(db))); }

void requireStatement(const StatementHandle& statement) {
    if (!statement) throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Null Virtual Machine pointer");
}

void finalizeOrThrow(StatementHandle& statement, sqlite3* db) {
    if (!statement) return;
    const int result = finalizeNow(statement);
    if (result != SQLITE_OK) throwSqliteError(result, db);
}

void bindTextParameter(sqlite3_stmt* statement, int parameter, std::wstring_view text) {
    const std::u16string text16 = toUtf16(text);
    const int result = sqlite3_bind_text16(statement, parameter, text16.c_str(), -1, SQLITE_TRANSIENT);
    if (result != SQLITE_OK) throw CppSQLite3Exception(result, L"Error binding string param");
}
