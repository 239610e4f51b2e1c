#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CppSQLite3DB;

// The block names of every cached drawing in one table of "iconcache.db",
// BlockNameIndex (tablekey, rowkey, name, folded), beside the icon tables, so that one
// query finds a name across every library. A row stands for the row of key rowkey in
// the icon table tablekey; folded is the name in the host's upper case, which the
// search compares. The icon tables stay as they are: a file without the index (written
// before it existed) gets one built from them at the first search, and from then on
// the store keeps it current whenever it writes or clears an icon table. A file
// nobody searched keeps exactly the tables it always had.
//
// Every operation opens its own connection, as the store's do; the keeping-current
// hooks take the store's connection instead. Failures throw CppSQLite3Exception to the
// caller, which reports them as the store does.
class BlockNameIndex {
public:
    // One block found: the icon table (a cleaned key), the row there, the block's name.
    struct Hit {
        std::wstring table;
        std::int64_t rowKey = 0;
        std::wstring name;
        std::wstring folded;
    };

    // Builds the index when the file has none, then answers its rows whose folded name
    // contains the text (already in the host's upper case); every row when no text is
    // given. One query, whatever the number of cached drawings.
    static std::vector<Hit> find(const std::optional<std::wstring>& foldedText);
    // The cached icon bytes of one row; empty when there are none or the row is gone.
    static std::vector<std::uint8_t> icon(const std::wstring& table, std::int64_t rowKey);

    // Which icon tables the file holds and their stamps, read in one go: all a caller
    // needs to tell which cache entries are current without a connection for each.
    struct CachedEntries {
        std::set<std::wstring> tables;  // as SQLite looks them up (tableLookupName)
        std::map<std::wstring, std::int64_t> stamps;
        // The table exists and its stamp (0 without one) equals the file's time.
        bool isCurrent(const std::wstring& table, std::int64_t fileTime) const;
    };
    static CachedEntries cachedEntries();

    // Called by the store on its own connection: the table's rows were written anew,
    // or the table is gone. Nothing happens while the file has no index.
    static void tableWritten(CppSQLite3DB& db, std::wstring_view table);
    static void tableCleared(CppSQLite3DB& db, std::wstring_view table);
};

// A table name as SQLite looks it up: ASCII letters without regard to case.
std::wstring tableLookupName(std::wstring_view table);

// A block name in the host's upper case, as the index keeps it and the filter compares it.
std::wstring foldBlockName(std::wstring_view name);
