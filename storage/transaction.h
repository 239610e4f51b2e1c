#pragma once

#include "storage/cppsqlite3db.h"

#include <string_view>

// The one way the module writes a list of rows: one insert per row, all in one
// transaction, after whatever prepare does in it (the table's CREATE, say). When
// anything throws, the statement is finalized and closing the connection rolls the
// transaction back: none of it stands, not even what prepare did.
template <class Rows, class BindRow, class Prepare>
void insertInTransaction(CppSQLite3DB& db, std::wstring_view insertSql, const Rows& rows, BindRow bindRow,
                         Prepare prepare) {
    db.exec(L"begin transaction;");
    prepare();
    // Prepared also for no rows: a name that only the prepare step took is refused.
    CppSQLite3Statement insert = db.prepare(insertSql);
    for (const auto& row : rows) {
        bindRow(insert, row);
        insert.exec();
    }
    db.exec(L"commit transaction;");
    insert.finalize();
}

template <class Rows, class BindRow>
void insertInTransaction(CppSQLite3DB& db, std::wstring_view insertSql, const Rows& rows, BindRow bindRow) {
    insertInTransaction(db, insertSql, rows, bindRow, [] {});
}
