#pragma once

#include <sqlite3.h>

#include <memory>
#include <string_view>

// A compiled statement has exactly one owner (the connection while it runs a one-off
// statement, else the query or statement object it was handed to); whatever path that
// owner leaves by, the statement is finalized.
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Finalizes at once and answers SQLite's result, which reports the error of the last
// step under the legacy compile interface. The handle is null afterwards.
inline int finalizeNow(StatementHandle& statement) { return sqlite3_finalize(statement.release()); }

// Throws the wrapper's exception with the code and the connection's current error text.
[[noreturn]] void throwSqliteError(int code, sqlite3* db);

// Throws the wrapper's own error for a query or statement whose handle is gone.
void requireStatement(const StatementHandle& statement);
// Finalizes a handle that is still held and throws when SQLite reports an error.
void finalizeOrThrow(StatementHandle& statement, sqlite3* db);

// Binds wide text to a parameter, converted to UTF-16 and copied by SQLite.
void bindTextParameter(sqlite3_stmt* statement, int parameter, std::wstring_view text);
