#pragma once

#include "frame/hostapi.h"

// The module's resources: its dialog templates, bitmaps and icons by number, as a
// resource script lists them. Compiled into the module and registered with the host
// when the library attaches.
namespace res {
constexpr int IDD_PALETTE_TABS = 103, IDC_PALETTE_TAB = 102;
constexpr int IDD_BLOCK_MANAGER = 104, IDD_FIELD_MANAGER = 105;
constexpr int IDB_NO_PREVIEW = 107, IDI_BLANK = 115;
constexpr int IDD_TEXTBOX = 127, IDC_TEXTBOX_EDIT = 134, IDC_TEXTBOX_CAPTION = 135;
}  // namespace res

const hostres::ResourceTable& moduleResources();
