#include "fieldtab/fielddatabase.h"

#include "fieldtab/dbdialog.h"
#include "fieldtab/fieldmessagebox.h"
#include "frame/datapaths.h"
#include "frame/marvoltapp.h"
#include "frame/textboxdialog.h"
#include "storage/cppsqlite3db.h"
#include "storage/cppsqlite3exception.h"

#include <filesystem>

namespace {

void showSqliteError(CWnd* parent, const CppSQLite3Exception& e) {
    fieldMessageBox(parent, std::wstring(L"SQLite returned an error\n") + e.message());
}

// The file's path once a file is there, made when missing; nothing after telling the
// user that it could not be.
std::optional<std::wstring> fieldDbFile(CWnd* parent) {
    std::wstring path;
    if (getFieldDbPath(path) || ensureFieldDbFile(path)) return path;
    fieldMessageBox(parent, L"Error: Can't find file FieldDb.db");
    return std::nullopt;
}

std::optional<std::wstring> askTableName(CWnd* parent) {
    CAcModuleResourceOverride resources(theMarvoltApp().libraryHandle());
    TextBoxDialog prompt(parent);
    prompt.m_captionLine = L"Enter Table Name";
    if (prompt.DoModal() != IDOK) return std::nullopt;
    return prompt.m_text;
}

// The set is written whole or not at all: anything that throws ends the transaction
// unfinished, and closing the connection rolls it back. Keys and values go in as bound
// parameters, so no text of theirs is ever read as SQL.
void writeSet(const std::wstring& path, const std::wstring& name, const PropertyRows& rows) {
    CppSQLite3DB db;
    db.open(path);
    db.exec(L"begin transaction;");
    db.exec(L"CREATE TABLE " + name + L" (Key INTEGER PRIMARY KEY, FieldName TEXT,FieldValue TEXT);");
    {
        // Prepared also for an empty list: a name that only the CREATE took is refused.
        CppSQLite3Statement insert = db.prepare(L"INSERT INTO " + name + L" VALUES (NULL, ? , ? );");
        for (const auto& [key, value] : rows) {
            insert.bindText(1, key);
            insert.bindText(2, value);
            insert.exec();
        }
    }
    db.exec(L"commit transaction;");
    db.close();
}

PropertyMap readSet(const std::wstring& path, const std::wstring& name) {
    CppSQLite3DB db;
    db.open(path);
    PropertyMap map;
    for (CppSQLite3Query q = db.query(L"SELECT FieldName, FieldValue FROM " + quotedTableName(name) + L";"); !q.atEnd();
         q.next())
        map[q.textOr(0)] = q.textOr(1);
    return map;
}

}  // namespace

bool ensureFieldDbFile(const std::wstring& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        CppSQLite3DB db;
        db.open(path);
        db.close();
    }
    return std::filesystem::is_regular_file(path, ec);
}

std::wstring quotedTableName(const std::wstring& name) {
    std::wstring out = L"\"";
    for (const wchar_t c : name) out.append(c == L'"' ? 2 : 1, c);
    return out + L"\"";
}

bool isValidTableName(const std::wstring& name) {
    if (name.empty()) return false;
    const wchar_t first = name.front();
    return (first >= L'A' && first <= L'Z') || (first >= L'a' && first <= L'z');
}

void saveToDatabase(CWnd* parent, const PropertyRows& rows) {
    const std::optional<std::wstring> name = askTableName(parent);
    if (!name) return;
    if (name->empty()) {
        fieldMessageBox(parent, L"Error: Value cannot be empty or null");
        return;
    }
    if (!isValidTableName(*name)) {
        fieldMessageBox(parent, L"Error: Invalid Table name");
        return;
    }
    try {
        if (const std::optional<std::wstring> path = fieldDbFile(parent)) writeSet(*path, *name, rows);
    } catch (const CppSQLite3Exception& e) {
        showSqliteError(parent, e);
    }
}

std::optional<PropertyMap> getFromDatabase(CWnd* parent) {
    std::wstring name;
    {
        CAcModuleResourceOverride resources(theMarvoltApp().libraryHandle());
        DbDialog browser(parent);
        if (browser.DoModal() != IDOK) return std::nullopt;
        name = browser.chosenName();
    }
    if (name.empty()) return std::nullopt;
    try {
        const std::optional<std::wstring> path = fieldDbFile(parent);
        if (!path) return std::nullopt;
        return readSet(*path, name);
    } catch (const CppSQLite3Exception& e) {
        showSqliteError(parent, e);
        return std::nullopt;
    }
}
