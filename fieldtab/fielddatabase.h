#pragma once

#include "fieldtab/propertymap.h"
#include "frame/hostapi.h"

#include <optional>
#include <string>

// The Field Manager's actions "Save To Database" and "Get From Database": they ask for
// a name or a set, keep the sets in the field-set store over "FieldDb.db", report their
// failures in message boxes over the parent and leave the list and the file as they were.
void saveToDatabase(CWnd* parent, const PropertyRows& rows);
// The chosen set's properties, or nothing when the action ended early or failed.
std::optional<PropertyMap> getFromDatabase(CWnd* parent);
