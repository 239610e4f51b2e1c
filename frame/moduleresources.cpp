#include "frame/moduleresources.h"

namespace {

using K = hostres::ControlKind;
constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;

// A drawing without a stored preview shows a black field of the preview's size.
std::vector<std::uint32_t> noPreview() { return std::vector<std::uint32_t>(329u * 182u, 0xFF000000u); }
std::vector<std::uint32_t> blankIcon() { return std::vector<std::uint32_t>(32u * 32u, 0x00000000u); }

hostres::ResourceTable makeResources() {
    hostres::ResourceTable t;
    t.dialogs.push_back({res::IDD_PALETTE_TABS, L"", kChild | DS_CONTROL, L"Tahoma", 8, 176, 214,
                         {{res::IDC_PALETTE_TAB, K::tabControl, 1, 0, 174, 207, L"",
                           kChild | TCS_VERTICAL | TCS_MULTILINE | TCS_RIGHT}}});
    t.dialogs.push_back({res::IDD_BLOCK_MANAGER, L"", WS_CHILD | DS_CONTROL, L"Tahoma", 8, 228, 289, {}});
    t.dialogs.push_back({res::IDD_FIELD_MANAGER, L"", WS_CHILD | DS_CONTROL, L"Tahoma", 8, 225, 289, {}});
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
    t.bitmaps.push_back({res::IDB_NO_PREVIEW, 329, 182, &noPreview});
    t.icons.push_back({res::IDI_BLANK, 32, 32, &blankIcon});
    return t;
}

}  // namespace

const hostres::ResourceTable& moduleResources() {
    static const hostres::ResourceTable table = makeResources();
    return table;
}
