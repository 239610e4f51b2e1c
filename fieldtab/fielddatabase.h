#pragma once

#include "fieldtab/propertymap.h"
#include "frame/hostapi.h"

#include <optional>
#include <string>

// Named property sets in "FieldDb.db", one table each. Both actions report their
// failures in message boxes over the parent and leave the list and the file as they were.
void saveToDatabase(CWnd* parent, const PropertyRows& rows);
// The chosen set's properties, or nothing when the action ended early or failed.
std::optional<PropertyMap> getFromDatabase(CWnd* parent);

// Makes an empty SQLite file at the path when there is none; answers whether a file is
// there now. A file that cannot be made throws CppSQLite3Exception.
bool ensureFieldDbFile(const std::wstring& path);
// A saved set's name as SQL names a table, whatever characters it holds.
std::wstring quotedTableName(const std::wstring& name);
// Whether the name may name a set: it begins with an ASCII letter.
bool isValidTableName(const std::wstring& name);
