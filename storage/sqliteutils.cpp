#include "storage/sqliteutils.h"

#include "frame/commandlineprinter.h"
#include "frame/datapaths.h"
#include "storage/blocknameindex.h"
#include "storage/cppsqlite3db.h"
#include "storage/cppsqlite3exception.h"
#include "storage/decimaltext.h"
#include "storage/iconcachefile.h"
#include "storage/transaction.h"
#include "storage/utf16.h"

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kDateStampTable = L"CacheDateStamp";
constexpr const wchar_t* kHistoryTable = L"HISTORY";

// Fills each '%s' of an SQL text in order. Every '%s' there stands between single
// quotes, which SQLite reads as a table name; doubling the apostrophes of the name
// keeps any name, "O'Brien" too, one quoted name.
std::wstring withNames(std::wstring_view sql, std::initializer_list<std::wstring_view> names) {
    std::wstring out;
    const std::wstring_view* name = names.begin();
    for (std::size_t i = 0; i < sql.size(); ++i) {
        if (sql.substr(i, 2) != L"%s" || name == names.end()) {
            out += sql[i];
            continue;
        }
        for (const wchar_t c : *name++) out.append(c == L'\'' ? 2 : 1, c);
        ++i;
    }
    return out;
}

bool isIconCache(const wchar_t* dbPath) {
    std::wstring path;
    getIconCachePath(path);
    return path == dbPath;
}

void reportStorageError(const CppSQLite3Exception& error, const wchar_t* operation, long line) {
    printToCommandLine(L"\nError %s %s %ld\n", error.message(), operation, line);
}

// An icon cache that is no database is set aside, and said so, instead of failing every
// operation after this one; the operation itself has failed and answers so.
void reportFileError(const CppSQLite3Exception& error, const wchar_t* dbPath, const wchar_t* operation, long line) {
    std::wstring cachePath;
    getIconCachePath(cachePath);
    const bool isCache = filePath(cachePath).lexically_normal() == filePath(dbPath).lexically_normal();
    if (!isCache || !setAsideDamagedIconCache(error, cachePath)) reportStorageError(error, operation, line);
}

void reportIconCacheError(const CppSQLite3Exception& error, const wchar_t* operation, long line) {
    std::wstring cachePath;
    getIconCachePath(cachePath);
    reportFileError(error, cachePath.c_str(), operation, line);
}

void dropIfPresent(CppSQLite3DB& db, std::wstring_view table) {
    if (db.hasTable(table)) db.exec(withNames(L"DROP TABLE '%s';", {table}));
}

// Whether the file exists does not matter: opening creates it.
void openIconCache(CppSQLite3DB& db) {
    std::wstring path;
    getIconCachePath(path);
    db.open(path);
}

void bindBlockInfo(CppSQLite3Statement& insert, const BlockInfo& record) {
    insert.bindText(2, record.name);
    const AcArray<Adesk::UInt8>& icon = record.previewIcon;
    insert.bindBlob(3, icon.isEmpty() ? nullptr : icon.asArrayPtr(), icon.length());
}

BlockInfo readBlockInfo(const CppSQLite3Query& row) {
    BlockInfo record;
    record.name = row.textOr(0);
    int length = 0;
    if (const unsigned char* icon = row.blob(1, length)) record.previewIcon.vector().assign(icon, icon + length);
    return record;
}

}  // namespace

std::wstring SQliteUtils::cleanTableName(std::wstring key) {
    for (const wchar_t removed : std::wstring_view(L"\\:. ()-,;")) std::erase(key, removed);
    return key;
}

int SQliteUtils::listTables(const wchar_t* dbPath, std::vector<std::wstring>& tables) {
    if (!dbPath) return 0;
    try {
        CppSQLite3DB db;
        db.open(dbPath);
        int count = 0;
        for (CppSQLite3Query q = db.query(L"SELECT name FROM sqlite_master WHERE type='table' ORDER BY name;");
             !q.atEnd(); q.next(), ++count)
            tables.push_back(q.textOr(0));
        return count;
    } catch (const CppSQLite3Exception& e) {
        reportFileError(e, dbPath, L"SQliteUtils::listTables", __LINE__);
        return 0;
    }
}

bool SQliteUtils::DeleteTable(const wchar_t* dbPath, const wchar_t* tableName) {
    if (!dbPath || !tableName) return false;
    try {
        const std::wstring table = cleanTableName(tableName);
        CppSQLite3DB db;
        db.open(dbPath);
        dropIfPresent(db, table);
        if (isIconCache(dbPath)) BlockNameIndex::tableCleared(db, table);
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportFileError(e, dbPath, L"SQliteUtils::DeleteTable", __LINE__);
        return false;
    }
}

bool SQliteUtils::dropTable(const wchar_t* dbPath, const wchar_t* tableName) {
    if (!dbPath || !tableName) return false;
    try {
        CppSQLite3DB db;
        db.open(dbPath);
        dropIfPresent(db, tableName);
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportFileError(e, dbPath, L"SQliteUtils::dropTable", __LINE__);
        return false;
    }
}

bool SQliteUtils::RenameTable(const wchar_t* dbPath, const wchar_t* oldName, const wchar_t* newName) {
    if (!dbPath || !oldName || !newName) return false;
    try {
        CppSQLite3DB db;
        db.open(dbPath);
        db.exec(withNames(L"ALTER TABLE '%s' RENAME TO '%s';", {oldName, newName}));
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportFileError(e, dbPath, L"SQliteUtils::RenameTable", __LINE__);
        return false;
    }
}

bool SQliteUtils::createIconCacheTable(std::wstring key) {
    const std::wstring table = cleanTableName(std::move(key));
    if (table.empty()) return false;
    try {
        CppSQLite3DB db;
        openIconCache(db);
        dropIfPresent(db, table);
        db.exec(withNames(L"CREATE TABLE '%s' (key INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT,icon BLOB);", {table}));
        BlockNameIndex::tableCleared(db, table);
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::createIconCacheTable", __LINE__);
        return false;
    }
}

bool SQliteUtils::createIconCacheDateStampTable() {
    try {
        CppSQLite3DB db;
        openIconCache(db);
        if (!db.hasTable(kDateStampTable))
            db.exec(withNames(L"CREATE TABLE '%s' (name TEXT unique,cachedate TEXT);", {kDateStampTable}));
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::createIconCacheDateStampTable", __LINE__);
        return false;
    }
}

bool SQliteUtils::getIconCacheRecords(std::vector<BlockInfo>& records, std::wstring key) {
    try {
        const std::wstring table = cleanTableName(std::move(key));
        CppSQLite3DB db;
        openIconCache(db);
        if (!db.hasTable(table)) return false;
        for (CppSQLite3Query q = db.query(withNames(L"SELECT name, icon FROM '%s';", {table})); !q.atEnd(); q.next())
            records.push_back(readBlockInfo(q));
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::getIconCacheRecords", __LINE__);
        return false;
    }
}

bool SQliteUtils::setIconCacheRecords(const std::vector<BlockInfo>& records, std::wstring key) {
    try {
        const std::wstring table = cleanTableName(std::move(key));
        CppSQLite3DB db;
        openIconCache(db);
        // Each opens its own connection while this one holds no lock yet.
        createIconCacheDateStampTable();
        createIconCacheTable(table);
        // The table just replaced one whose key differs only in letter case; that key's
        // stamp would vouch for records that are no longer its own.
        db.exec(L"DELETE FROM CacheDateStamp WHERE name = ? COLLATE NOCASE AND name <> ?;", {table, table});
        insertInTransaction(db, withNames(L"insert into '%s' values (?, ?, ?);", {table}), records, bindBlockInfo);
        BlockNameIndex::tableWritten(db, table);
        db.close();
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::setIconCacheRecords", __LINE__);
        return false;
    }
}

std::int64_t SQliteUtils::getIconCacheDateRecord(std::wstring key) {
    try {
        const std::wstring name = cleanTableName(std::move(key));
        CppSQLite3DB db;
        openIconCache(db);
        CppSQLite3Query q = db.query(L"SELECT cachedate FROM CacheDateStamp WHERE name=?;", {name});
        return q.atEnd() ? 0 : parseLeadingDecimal(q.textOr(0));
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::getIconCacheDateRecord", __LINE__);
        return 137;
    }
}

bool SQliteUtils::setIconCacheDateRecord(std::int64_t stamp, std::wstring key) {
    try {
        const std::wstring name = cleanTableName(std::move(key));
        CppSQLite3DB db;
        openIconCache(db);
        db.exec(L"REPLACE INTO CacheDateStamp VALUES (?,?);", {name, std::to_wstring(stamp)});
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::setIconCacheDateRecord", __LINE__);
        return false;
    }
}

bool SQliteUtils::deleteIconCacheDateRecord(std::wstring key) {
    try {
        const std::wstring name = cleanTableName(std::move(key));
        CppSQLite3DB db;
        openIconCache(db);
        db.exec(L"DELETE FROM CacheDateStamp WHERE name = ?;", {name});
        return true;
    } catch (const CppSQLite3Exception& e) {
        // Its failures are silent; a damaged cache is still set aside and said so.
        std::wstring cachePath;
        getIconCachePath(cachePath);
        setAsideDamagedIconCache(e, cachePath);
        return false;
    }
}

bool SQliteUtils::createHistoryTable() {
    try {
        CppSQLite3DB db;
        openIconCache(db);
        dropIfPresent(db, kHistoryTable);
        db.exec(withNames(L"CREATE TABLE '%s' (ITEM TEXT);", {kHistoryTable}));
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::createHistoryTable", __LINE__);
        return false;
    }
}

std::vector<std::wstring> SQliteUtils::getHistory() {
    std::vector<std::wstring> entries;
    try {
        CppSQLite3DB db;
        openIconCache(db);
        if (!db.hasTable(kHistoryTable)) return entries;
        for (CppSQLite3Query q = db.query(withNames(L"SELECT ITEM FROM '%s';", {kHistoryTable})); !q.atEnd(); q.next())
            entries.push_back(q.textOr(0));
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::getHistory", __LINE__);
    }
    return entries;
}

// The old list is dropped in the same transaction that stores the new one, so that a
// failure on the way (a busy file) leaves the user's history as it was.
bool SQliteUtils::putHistory(const std::vector<std::wstring>& entries) {
    try {
        CppSQLite3DB db;
        openIconCache(db);
        insertInTransaction(
            db, withNames(L"insert into '%s' values (?);", {kHistoryTable}), entries,
            [](CppSQLite3Statement& insert, const std::wstring& entry) { insert.bindText(1, entry); },
            [&db] {
                dropIfPresent(db, kHistoryTable);
                db.exec(withNames(L"CREATE TABLE '%s' (ITEM TEXT);", {kHistoryTable}));
            });
        db.close();
        return true;
    } catch (const CppSQLite3Exception& e) {
        reportIconCacheError(e, L"SQliteUtils::putHistory", __LINE__);
        return false;
    }
}
