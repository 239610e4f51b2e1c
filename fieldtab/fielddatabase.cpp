#include "fieldtab/fielddatabase.h"

#include "fieldtab/dbdialog.h"
#include "fieldtab/fieldmessagebox.h"
#include "frame/datapaths.h"
#include "frame/moduleresources.h"
#include "frame/textboxdialog.h"
#include "storage/cppsqlite3exception.h"
#include "storage/fieldsetstore.h"

namespace {

void showSqliteError(CWnd* parent, const CppSQLite3Exception& e) {
    fieldMessageBox(parent, std::wstring(L"SQLite returned an error\n") + e.message());
}

// The file's path once a file is there, made when missing; nothing after telling the
// user that it could not be.
std::optional<std::wstring> fieldDbFile(CWnd* parent) {
    std::wstring path;
    if (getFieldDbPath(path) || FieldSetStore::ensureFieldDbFile(path)) return path;
    fieldMessageBox(parent, L"Error: Can't find file FieldDb.db");
    return std::nullopt;
}

std::optional<std::wstring> askTableName(CWnd* parent) {
    ModuleResourceScope resources;
    TextBoxDialog prompt(parent);
    prompt.m_captionLine = L"Enter Table Name";
    if (prompt.DoModal() != IDOK) return std::nullopt;
    return prompt.m_text;
}

}  // namespace

void saveToDatabase(CWnd* parent, const PropertyRows& rows) {
    const std::optional<std::wstring> name = askTableName(parent);
    if (!name) return;
    if (name->empty()) {
        fieldMessageBox(parent, L"Error: Value cannot be empty or null");
        return;
    }
    if (!FieldSetStore::isValidName(*name)) {
        fieldMessageBox(parent, L"Error: Invalid Table name");
        return;
    }
    try {
        if (const std::optional<std::wstring> path = fieldDbFile(parent)) FieldSetStore(*path).save(*name, rows);
    } catch (const CppSQLite3Exception& e) {
        showSqliteError(parent, e);
    }
}

std::optional<PropertyMap> getFromDatabase(CWnd* parent) {
    std::wstring name;
    {
        ModuleResourceScope resources;
        DbDialog browser(parent);
        if (browser.DoModal() != IDOK) return std::nullopt;
        name = browser.chosenName();
    }
    if (name.empty()) return std::nullopt;
    try {
        const std::optional<std::wstring> path = fieldDbFile(parent);
        if (!path) return std::nullopt;
        return FieldSetStore(*path).load(name);
    } catch (const CppSQLite3Exception& e) {
        showSqliteError(parent, e);
        return std::nullopt;
    }
}
