#pragma once

#include "storage/blockinfo.h"

#include <cstdint>
#include <string>
#include <vector>

// The module's operations on its SQLite files: the Block Manager's icon cache and
// history list in "iconcache.db", and table listing, dropping and renaming on any file
// (the Field Manager's "FieldDb.db" too). Every operation opens its own connection and
// closes it before returning, and catches every wrapper exception itself: it prints
// the storage error line on the command line and answers its failure value. When the
// error is that "iconcache.db" is no database at all, the operation still fails, but
// the file is set aside instead (setAsideDamagedIconCache) and the next one makes a new
// cache; no other file is ever set aside.
//
// Icon tables and CacheDateStamp rows are named by the cleaned key (cleanTableName);
// the Block Manager's key is the drawing's full path.
class SQliteUtils {
public:
    // Removes backslash, colon, full stop, space, "(", ")", "-", comma and semicolon;
    // nothing else changes.
    static std::wstring cleanTableName(std::wstring key);

    // Appends the name of every table in the file, SQLite's own included, in name
    // order; answers how many this call appended (0 for a null path).
    static int listTables(const wchar_t* dbPath, std::vector<std::wstring>& tables);
    // Drops the table of the cleaned name; true also when there is none.
    static bool DeleteTable(const wchar_t* dbPath, const wchar_t* tableName);
    // Drops the table of exactly that name, whatever characters it holds; true also
    // when there is none. For tables named by users, whose names are not keys to clean.
    static bool dropTable(const wchar_t* dbPath, const wchar_t* tableName);
    static bool RenameTable(const wchar_t* dbPath, const wchar_t* oldName, const wchar_t* newName);

    // Leaves an empty icon table for the key, dropping any earlier one.
    static bool createIconCacheTable(std::wstring key);
    static bool createIconCacheDateStampTable();
    // Appends the key's cached blocks; false when the key has no table.
    static bool getIconCacheRecords(std::vector<BlockInfo>& records, std::wstring key);
    // Replaces the key's cached blocks in one transaction: on failure the table is left
    // empty. The date stamp is the caller's to write.
    static bool setIconCacheRecords(const std::vector<BlockInfo>& records, std::wstring key);
    // The stored stamp; 0 when the key has none, 137 on a database error.
    static std::int64_t getIconCacheDateRecord(std::wstring key);
    static bool setIconCacheDateRecord(std::int64_t stamp, std::wstring key);
    // Prints nothing on failure.
    static bool deleteIconCacheDateRecord(std::wstring key);

    static bool createHistoryTable();
    // On failure, the entries read before it.
    static std::vector<std::wstring> getHistory();
    // Replaces the history in one transaction: on failure the previous history stays.
    static bool putHistory(const std::vector<std::wstring>& entries);
};
