#pragma once

#include "fieldtab/propertymap.h"
#include "frame/hostapi.h"

#include <optional>

// Named property sets in "FieldDb.db", one table each. Both actions report their
// failures in message boxes over the parent and leave the list and the file as they were.
void saveToDatabase(CWnd* parent, const PropertyRows& rows);
// The chosen set's properties, or nothing when the action ended early or failed.
std::optional<PropertyMap> getFromDatabase(CWnd* parent);
