#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The Field Manager's named property sets in "FieldDb.db": one table a set, named by
// the user, with the rows (Key, FieldName, FieldValue) in list order. The store opens
// its own connection for each call and holds none between them.
//
// A name typed for Save goes into the CREATE and INSERT texts as typed, unquoted, so
// SQLite itself refuses a name that is no plain identifier; every other statement
// quotes the name (quoted), as Rename may give names with blanks.
class FieldSetStore {
public:
    using Rows = std::vector<std::pair<std::wstring, std::wstring>>;  // (key, value), top to bottom
    using Map = std::unordered_map<std::wstring, std::wstring>;

    explicit FieldSetStore(std::wstring path) : m_path(std::move(path)) {}

    // Makes an empty SQLite file at the path when there is none; answers whether a file
    // is there now. A file that cannot be made throws CppSQLite3Exception.
    static bool ensureFieldDbFile(const std::wstring& path);
    // Whether the name may name a set: it begins with an ASCII letter.
    static bool isValidName(const std::wstring& name);
    // A set's name as SQL names a table, whatever characters it holds.
    static std::wstring quoted(const std::wstring& name);

    // Writes the set whole or not at all; keys and values go in as bound parameters.
    // Throws CppSQLite3Exception (the name taken, or no plain identifier).
    void save(const std::wstring& name, const Rows& rows) const;
    // The set's properties; of two rows with one key the later wins. Throws.
    Map load(const std::wstring& name) const;

    // These report a failure on the command line (the storage error line) and answer it.
    // Every table of the file, by name.
    std::vector<std::wstring> names() const;
    // Drops the set of exactly that name; true also when there is none.
    bool remove(const std::wstring& name) const;
    bool rename(const std::wstring& from, const std::wstring& to) const;

private:
    std::wstring m_path;
};
