#include "fieldtab/fielddatabase.h"

void saveToDatabase(CWnd*, const PropertyRows&) {}
std::optional<PropertyMap> getFromDatabase(CWnd*) { return std::nullopt; }
