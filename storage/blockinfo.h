#pragma once

#include "frame/hostapi.h"

#include <string>

// One insertable block of a library drawing: its name in the drawing's block table and
// its preview icon exactly as the host returns it (a packed device-independent bitmap,
// empty when the block has none), passed through unchanged to the Block Manager's
// list and icon cache. Kept by value: copying copies the icon bytes, so an array of
// records owns its icon data.
struct BlockInfo {
    std::wstring name;
    AcArray<Adesk::UInt8> previewIcon;
};

using BlockInfoArray = AcArray<BlockInfo>;
