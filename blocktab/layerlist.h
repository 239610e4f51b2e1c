#pragma once

#include "frame/hostapi.h"

#include <string>
#include <vector>

struct LayerEntry {
    std::wstring name;  // upper case
    int colorIndex = 7;
};

// The drawing's layers for the layer chooser: every layer that opens and names itself,
// erased ones left out, its name in upper case with its colour index, sorted by the
// user's locale with hyphens and apostrophes compared as ordinary symbols.
std::vector<LayerEntry> collectLayers(AcDbDatabase* database);
