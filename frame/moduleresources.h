#pragma once

#include "frame/hostapi.h"

// The module's resources: its dialog templates, bitmaps and icons by number, as a
// resource script lists them. Compiled into the module and registered with the host
// when the library attaches.
namespace res {
constexpr int IDD_PALETTE_TABS = 103, IDC_PALETTE_TAB = 102;
constexpr int IDD_BLOCK_MANAGER = 104, IDD_FIELD_MANAGER = 105;
constexpr int IDB_NO_PREVIEW = 107, IDI_BLANK = 115, IDB_LAYER_SWATCHES = 152;
// The Block Manager page's controls and its history menu.
constexpr int IDC_BM_PICTURE = 106, IDC_BM_SCALE = 108, IDC_BM_ROTATION = 110, IDC_BM_PATH = 117,
              IDC_BM_HISTORY = 118, IDC_BM_BLOCKS = 119, IDC_BM_LAYERS = 150, IDC_BM_ROTATE = 155,
              IDC_BM_EXPLODE = 167, IDC_BM_PROMPT = 168, IDC_BM_FILTER = 170, IDC_BM_ALL_LIBRARIES = 171;
constexpr int ID_BM_CLEAR_ITEM = 32768, ID_BM_CLEAR_ALL = 32769, ID_BM_OPEN = 32770;
constexpr int IDD_TEXTBOX = 127, IDC_TEXTBOX_EDIT = 134, IDC_TEXTBOX_CAPTION = 135;
// The Field Manager page, its key dialog and the table browser.
constexpr int IDC_FM_ACTIONS = 125, IDC_FM_AS_MTEXT = 128, IDC_FM_AS_LEADER = 129, IDC_FM_PROPERTIES = 130,
              IDC_FM_AS_SPLINE_LEADER = 132;
constexpr int IDD_KEY_DIALOG = 121, IDC_KEY_KEY = 131, IDC_KEY_VALUE = 133;
constexpr int IDD_TABLE_BROWSER = 136, IDC_TB_DELETE = 137, IDC_TB_RENAME = 138, IDC_TB_TABLES = 139;
// The block icon renderer's window and its drawing control.
constexpr int IDD_ENT_VIEW = 153, IDC_ENT_VIEW_PREVIEW = 154;
}  // namespace res

const hostres::ResourceTable& moduleResources();

// The module library's own handle, through which the host finds its resources; set when
// the library attaches.
HINSTANCE moduleLibrary();
void setModuleLibrary(HINSTANCE library);

// While it lives, the module's resources come first: a dialog made meanwhile finds its
// template, bitmaps and strings by number in the module. The one way the module's code
// makes them current.
class ModuleResourceScope {
public:
    ModuleResourceScope() : m_override(moduleLibrary()) {}

private:
    CAcModuleResourceOverride m_override;
};
