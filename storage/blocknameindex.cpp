#include "storage/blocknameindex.h"

#include "frame/datapaths.h"
#include "frame/hostapi.h"
#include "storage/cppsqlite3db.h"
#include "storage/cppsqlite3exception.h"
#include "storage/decimaltext.h"

#include <algorithm>
#include <array>

namespace {

constexpr const wchar_t* kIndexTable = L"BlockNameIndex";
// The store's own tables; every other table of the file is a drawing's icon table.
constexpr std::array<std::wstring_view, 4> kNotIconTables = {L"CacheDateStamp", L"HISTORY", L"sqlite_sequence", kIndexTable};

void openIconCache(CppSQLite3DB& db) {
    std::wstring path;
    getIconCachePath(path);
    db.open(path);
}

// The table's name goes between quotes as the store writes it, apostrophes doubled.
std::wstring quoted(std::wstring_view table) {
    std::wstring out = L"'";
    for (const wchar_t c : table) out.append(c == L'\'' ? 2 : 1, c);
    return out + L"'";
}

// Rows of a key that differs only in letter case name the same SQLite table: they go too.
void dropRows(CppSQLite3DB& db, std::wstring_view table) {
    db.exec(L"DELETE FROM BlockNameIndex WHERE tablekey = ? COLLATE NOCASE;", {table});
}

void addRows(CppSQLite3DB& db, std::wstring_view table) {
    CppSQLite3Statement insert = db.prepare(L"INSERT INTO BlockNameIndex VALUES (?, ?, ?, ?);");
    // The key goes in as text; the column's integer affinity stores it as the number.
    for (CppSQLite3Query row = db.query(L"SELECT key, name FROM " + quoted(table) + L";"); !row.atEnd(); row.next()) {
        const std::wstring name = row.textOr(1);
        insert.bindText(1, table);
        insert.bindText(2, row.textOr(0));
        insert.bindText(3, name);
        insert.bindText(4, foldBlockName(name));
        insert.exec();
    }
    insert.finalize();
}

// From every icon table of a file that has none yet, in one transaction.
void build(CppSQLite3DB& db) {
    std::vector<std::wstring> tables;
    for (CppSQLite3Query q = db.query(L"SELECT name FROM sqlite_master WHERE type='table';"); !q.atEnd(); q.next()) {
        std::wstring name = q.textOr(0);
        if (std::find(kNotIconTables.begin(), kNotIconTables.end(), name) == kNotIconTables.end()) tables.push_back(std::move(name));
    }
    db.exec(L"begin transaction;");
    db.exec(L"CREATE TABLE BlockNameIndex (tablekey TEXT, rowkey INTEGER, name TEXT, folded TEXT);");
    db.exec(L"CREATE INDEX BlockNameIndexByTable ON BlockNameIndex (tablekey COLLATE NOCASE);");
    for (const std::wstring& table : tables) addRows(db, table);
    db.exec(L"commit transaction;");
}

}  // namespace

std::wstring tableLookupName(std::wstring_view table) {
    std::wstring name(table);
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return name;
}

std::wstring foldBlockName(std::wstring_view name) {
    std::wstring folded(name);
    CharUpperW(folded.data());
    return folded;
}

std::vector<BlockNameIndex::Hit> BlockNameIndex::find(const std::optional<std::wstring>& foldedText) {
    CppSQLite3DB db;
    openIconCache(db);
    if (!db.hasTable(kIndexTable)) build(db);
    std::vector<Hit> hits;
    CppSQLite3Query q = foldedText ? db.query(L"SELECT tablekey, rowkey, name, folded FROM BlockNameIndex WHERE instr(folded, ?) > 0;",
                                              {*foldedText})
                                   : db.query(L"SELECT tablekey, rowkey, name, folded FROM BlockNameIndex;");
    for (; !q.atEnd(); q.next())
        hits.push_back({q.textOr(0), parseLeadingDecimal(q.textOr(1)), q.textOr(2), q.textOr(3)});
    return hits;
}

std::vector<std::uint8_t> BlockNameIndex::icon(const std::wstring& table, std::int64_t rowKey) {
    CppSQLite3DB db;
    openIconCache(db);
    std::vector<std::uint8_t> bytes;
    CppSQLite3Query q = db.query(L"SELECT icon FROM " + quoted(table) + L" WHERE key = ?;", {std::to_wstring(rowKey)});
    int length = 0;
    if (!q.atEnd())
        if (const unsigned char* data = q.blob(0, length)) bytes.assign(data, data + length);
    return bytes;
}

BlockNameIndex::CachedEntries BlockNameIndex::cachedEntries() {
    CppSQLite3DB db;
    openIconCache(db);
    CachedEntries entries;
    for (CppSQLite3Query q = db.query(L"SELECT name FROM sqlite_master WHERE type='table';"); !q.atEnd(); q.next()) {
        const std::wstring name = q.textOr(0);
        if (std::find(kNotIconTables.begin(), kNotIconTables.end(), name) == kNotIconTables.end())
            entries.tables.insert(tableLookupName(name));
    }
    if (!db.hasTable(L"CacheDateStamp")) return entries;
    for (CppSQLite3Query q = db.query(L"SELECT name, cachedate FROM CacheDateStamp;"); !q.atEnd(); q.next())
        entries.stamps.emplace(q.textOr(0), parseLeadingDecimal(q.textOr(1)));
    return entries;
}

bool BlockNameIndex::CachedEntries::isCurrent(const std::wstring& table, std::int64_t fileTime) const {
    if (!tables.count(tableLookupName(table))) return false;
    const auto stamp = stamps.find(table);
    return (stamp == stamps.end() ? 0 : stamp->second) == fileTime;
}

void BlockNameIndex::tableWritten(CppSQLite3DB& db, std::wstring_view table) {
    if (!db.hasTable(kIndexTable)) return;
    db.exec(L"begin transaction;");
    dropRows(db, table);
    addRows(db, table);
    db.exec(L"commit transaction;");
}

void BlockNameIndex::tableCleared(CppSQLite3DB& db, std::wstring_view table) {
    if (db.hasTable(kIndexTable)) dropRows(db, table);
}
