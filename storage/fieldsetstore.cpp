#include "storage/fieldsetstore.h"

#include "storage/cppsqlite3db.h"
#include "storage/sqliteutils.h"
#include "storage/transaction.h"
#include "storage/utf16.h"

#include <filesystem>

bool FieldSetStore::ensureFieldDbFile(const std::wstring& path) {
    std::error_code ec;
    if (!std::filesystem::exists(filePath(path), ec)) {
        CppSQLite3DB db;
        db.open(path);
        db.close();
    }
    return std::filesystem::is_regular_file(filePath(path), ec);
}

bool FieldSetStore::isValidName(const std::wstring& name) {
    if (name.empty()) return false;
    const wchar_t first = name.front();
    return (first >= L'A' && first <= L'Z') || (first >= L'a' && first <= L'z');
}

std::wstring FieldSetStore::quoted(const std::wstring& name) {
    std::wstring out = L"\"";
    for (const wchar_t c : name) out.append(c == L'"' ? 2 : 1, c);
    return out + L"\"";
}

void FieldSetStore::save(const std::wstring& name, const Rows& rows) const {
    CppSQLite3DB db;
    db.open(m_path);
    insertInTransaction(
        db, L"INSERT INTO " + name + L" VALUES (NULL, ? , ? );", rows,
        [](CppSQLite3Statement& insert, const Rows::value_type& row) {
            insert.bindText(1, row.first);
            insert.bindText(2, row.second);
        },
        [&] { db.exec(L"CREATE TABLE " + name + L" (Key INTEGER PRIMARY KEY, FieldName TEXT,FieldValue TEXT);"); });
    db.close();
}

FieldSetStore::Map FieldSetStore::load(const std::wstring& name) const {
    CppSQLite3DB db;
    db.open(m_path);
    Map map;
    for (CppSQLite3Query q = db.query(L"SELECT FieldName, FieldValue FROM " + quoted(name) + L";"); !q.atEnd(); q.next())
        map[q.textOr(0)] = q.textOr(1);
    return map;
}

std::vector<std::wstring> FieldSetStore::names() const {
    std::vector<std::wstring> tables;
    SQliteUtils::listTables(m_path.c_str(), tables);
    return tables;
}

// A name that Rename gave may hold characters (a blank) that cleaning a cache key would
// take out, and the set must go all the same: the table of exactly that name is dropped.
bool FieldSetStore::remove(const std::wstring& name) const { return SQliteUtils::dropTable(m_path.c_str(), name.c_str()); }

bool FieldSetStore::rename(const std::wstring& from, const std::wstring& to) const {
    return SQliteUtils::RenameTable(m_path.c_str(), from.c_str(), to.c_str());
}
