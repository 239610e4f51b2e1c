#include "frame/moduleresources.h"

namespace {

using K = hostres::ControlKind;
constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;

// A drawing without a stored preview shows a black field of the preview's size.
std::vector<std::uint32_t> noPreview() { return std::vector<std::uint32_t>(329u * 182u, 0xFF000000u); }
std::vector<std::uint32_t> blankIcon() { return std::vector<std::uint32_t>(32u * 32u, 0x00000000u); }

// The layer chooser's swatches: for each of the 256 palette colours a 16 × 16 square,
// the colour filling 12 × 12 inside a black frame inside a white border.
constexpr int kSwatch = 16, kSwatches = 256;
std::vector<std::uint32_t> layerSwatches() {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kSwatch) * kSwatch * kSwatches, 0xFFFFFFFFu);
    const auto at = [&](int x, int y) -> std::uint32_t& {
        return pixels[static_cast<std::size_t>(y) * kSwatch * kSwatches + static_cast<std::size_t>(x)];
    };
    for (int i = 0; i < kSwatches; ++i) {
        const std::uint32_t bgr = acedGetRGB(i);
        const std::uint32_t fill = 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
        for (int y = 1; y < kSwatch - 1; ++y)
            for (int x = 1; x < kSwatch - 1; ++x) {
                const bool frame = x == 1 || y == 1 || x == kSwatch - 2 || y == kSwatch - 2;
                at(i * kSwatch + x, y) = frame ? 0xFF000000u : fill;
            }
    }
    return pixels;
}

hostres::ResourceTable makeResources() {
    hostres::ResourceTable t;
    t.dialogs.push_back({res::IDD_PALETTE_TABS, L"", kChild | DS_CONTROL, L"Tahoma", 8, 176, 214,
                         {{res::IDC_PALETTE_TAB, K::tabControl, 1, 0, 174, 207, L"",
                           kChild | TCS_VERTICAL | TCS_MULTILINE | TCS_RIGHT}}});
    constexpr std::uint32_t kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    t.dialogs.push_back({res::IDD_BLOCK_MANAGER,
                         L"",
                         WS_CHILD | DS_CONTROL,
                         L"Tahoma",
                         8,
                         228,
                         289,
                         {{res::IDC_BM_PICTURE, K::picture, 6, 2, 144, 86, L"#107", kChild | SS_NOTIFY | SS_CENTERIMAGE | WS_BORDER},
                          {res::IDC_BM_SCALE, K::numericEdit, 29, 92, 42, 15, L"", kEdit},
                          {res::IDC_BM_ROTATION, K::angleEdit, 108, 92, 42, 15, L"", kEdit},
                          {-1, K::label, 9, 89, 20, 8, L"Scale", kChild},
                          {-1, K::label, 77, 89, 30, 9, L"Rotation", kChild},
                          {res::IDC_BM_PATH, K::browseEdit, 6, 138, 144, 14, L"", kEdit},
                          // The filter and its check box sit over the block list, one row each:
                          // the column is too narrow for "All libraries" beside a usable edit.
                          {res::IDC_BM_FILTER, K::edit, 153, 2, 71, 12, L"", kEdit},
                          {res::IDC_BM_ALL_LIBRARIES, K::checkBox, 154, 15, 70, 10, L"All libraries", kChild | WS_TABSTOP},
                          {res::IDC_BM_BLOCKS, K::listView, 153, 27, 71, 255, L"",
                           kChild | WS_BORDER | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SHOWSELALWAYS},
                          {res::IDC_BM_LAYERS, K::imageComboBox, 6, 121, 144, 169, L"",
                           kChild | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST},
                          {res::IDC_BM_ROTATE, K::checkBox, 104, 108, 33, 10, L"Rotate", kChild | WS_TABSTOP},
                          {res::IDC_BM_EXPLODE, K::checkBox, 58, 108, 36, 10, L"Explode", kChild | WS_TABSTOP | BS_LEFTTEXT},
                          {res::IDC_BM_PROMPT, K::checkBox, 13, 108, 33, 10, L"Prompt", kChild | WS_TABSTOP},
                          {res::IDC_BM_HISTORY, K::listView, 6, 153, 144, 129, L"",
                           kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
                               LVS_SHOWSELALWAYS}}});
    constexpr std::uint32_t kAutoRadio = kChild | BS_AUTORADIOBUTTON;
    t.dialogs.push_back({res::IDD_FIELD_MANAGER,
                         L"",
                         WS_CHILD | DS_CONTROL,
                         L"Tahoma",
                         8,
                         225,
                         289,
                         {{res::IDC_FM_ACTIONS, K::comboBox, 7, 3, 211, 30, L"", kChild | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
                          {-1, K::groupBox, 7, 17, 211, 22, L"Insert as", kChild},
                          {res::IDC_FM_AS_MTEXT, K::radioButton, 15, 26, 46, 10, L"As MText", kAutoRadio | WS_GROUP},
                          {res::IDC_FM_AS_LEADER, K::radioButton, 81, 26, 48, 10, L"As Leader", kAutoRadio},
                          {res::IDC_FM_PROPERTIES, K::listView, 7, 46, 211, 229, L"",
                           kChild | LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS | WS_BORDER | WS_TABSTOP},
                          {res::IDC_FM_AS_SPLINE_LEADER, K::radioButton, 141, 26, 65, 10, L"As Spline Leader", kAutoRadio}}});
    constexpr std::uint32_t kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    constexpr std::uint32_t kScrollingEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    t.dialogs.push_back({res::IDD_KEY_DIALOG,
                         L"Key Dialog",
                         kModal,
                         L"Tahoma",
                         8,
                         186,
                         74,
                         {{1, K::button, 44, 51, 50, 16, L"OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
                          {2, K::button, 100, 51, 50, 16, L"Cancel", kChild | WS_TABSTOP},
                          {res::IDC_KEY_KEY, K::stringEdit, 41, 15, 122, 12, L"", kScrollingEdit},
                          {res::IDC_KEY_VALUE, K::stringEdit, 41, 31, 122, 13, L"", kScrollingEdit},
                          {-1, K::label, 18, 17, 19, 10, L"Key", kChild},
                          {-1, K::label, 18, 32, 19, 9, L"Value", kChild}}});
    t.dialogs.push_back({res::IDD_TABLE_BROWSER,
                         L"Table Browser",
                         kModal,
                         L"Tahoma",
                         8,
                         204,
                         202,
                         {{1, K::button, 147, 9, 50, 16, L"OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
                          {res::IDC_TB_DELETE, K::button, 147, 48, 50, 15, L"Delete", kChild | WS_TABSTOP},
                          {res::IDC_TB_RENAME, K::button, 147, 65, 50, 15, L"Rename", kChild | WS_TABSTOP},
                          {res::IDC_TB_TABLES, K::listView, 7, 7, 139, 188, L"",
                           kChild | LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP}}});
    t.dialogs.push_back({res::IDD_TEXTBOX,
                         L"Textbox",
                         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                         L"Tahoma",
                         8,
                         186,
                         71,
                         {{res::IDC_TEXTBOX_CAPTION, K::label, 18, 17, 149, 11, L"Static", kChild},
                          {res::IDC_TEXTBOX_EDIT, K::stringEdit, 18, 31, 151, 13, L"",
                           kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
                          {1, K::button, 43, 48, 50, 16, L"OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
                          {2, K::button, 96, 48, 50, 16, L"Cancel", kChild | WS_TABSTOP}}});
    // The block icon renderer's window: a bare popup around the area the block is drawn in.
    t.dialogs.push_back({res::IDD_ENT_VIEW,
                         L"",
                         WS_POPUP | WS_SYSMENU | DS_SETFONT,
                         L"Tahoma",
                         8,
                         26,
                         26,
                         {{res::IDC_ENT_VIEW_PREVIEW, K::blackFrame, 2, 2, 22, 22, L"", kChild | SS_BLACKFRAME}}});
    t.bitmaps.push_back({res::IDB_NO_PREVIEW, 329, 182, &noPreview});
    t.bitmaps.push_back({res::IDB_LAYER_SWATCHES, kSwatch * kSwatches, kSwatch, &layerSwatches});
    t.icons.push_back({res::IDI_BLANK, 32, 32, &blankIcon});
    return t;
}

}  // namespace

const hostres::ResourceTable& moduleResources() {
    static const hostres::ResourceTable table = makeResources();
    return table;
}

namespace {
HINSTANCE g_library = nullptr;
}  // namespace

HINSTANCE moduleLibrary() { return g_library; }
void setModuleLibrary(HINSTANCE library) { g_library = library; }
