#pragma once

#include "fieldtab/propertymap.h"
#include "frame/hostapi.h"

#include <optional>

// Custom properties of a drawing's summary information. Each call fetches the summary,
// works on the copy and deletes it; without a summary it does nothing.
void readCustomProperties(AcDbDatabase* db, PropertyMap& map);
// Replaces the values of keys the drawing has, adds the others after its entries.
void writeCustomProperties(AcDbDatabase* db, const PropertyMap& map);
void clearCustomProperties(AcDbDatabase* db);

// The page's exchange actions with the current drawing and other drawing files. The
// parent owns the confirmations and message boxes. The "get" actions answer the
// properties to merge into the list, or nothing when the action ended early.
std::optional<PropertyMap> getFromThisDrawing();
void saveToThisDrawing(CWnd* parent, const PropertyMap& list);
std::optional<PropertyMap> getFromOtherDrawing(CWnd* parent);
void saveToOtherDrawing(CWnd* parent, const PropertyMap& list);
void clearThisDrawing(CWnd* parent);
void clearOtherDrawing(CWnd* parent);
