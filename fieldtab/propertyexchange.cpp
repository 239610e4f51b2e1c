#include "fieldtab/propertyexchange.h"

void readCustomProperties(AcDbDatabase*, PropertyMap&) {}
void writeCustomProperties(AcDbDatabase*, const PropertyMap&) {}
void clearCustomProperties(AcDbDatabase*) {}

std::optional<PropertyMap> getFromThisDrawing() { return std::nullopt; }
void saveToThisDrawing(CWnd*, const PropertyMap&) {}
std::optional<PropertyMap> getFromOtherDrawing(CWnd*) { return std::nullopt; }
void saveToOtherDrawing(CWnd*, const PropertyMap&) {}
void clearThisDrawing(CWnd*) {}
void clearOtherDrawing(CWnd*) {}
