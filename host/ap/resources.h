#pragma once

// The window layer's resource chain. A module registers its library once, with the
// resources compiled into it, so that its dialog templates, bitmaps and icons are found
// by number while its windows are made, and initialises the host's UI library on each
// attach. Resources are plain data here; the window layer turns them into windows.

#include <cstdint>
#include <vector>

// Window and control style bits, with the platform's names and values, as dialog
// templates state them.
constexpr std::uint32_t WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000, WS_POPUP = 0x80000000,
                        WS_CAPTION = 0x00C00000, WS_SYSMENU = 0x00080000, WS_BORDER = 0x00800000,
                        WS_TABSTOP = 0x00010000, WS_GROUP = 0x00020000, WS_VSCROLL = 0x00200000,
                        WS_CLIPCHILDREN = 0x02000000, WS_DISABLED = 0x08000000;
constexpr std::uint32_t DS_MODALFRAME = 0x80, DS_SETFONT = 0x40, DS_CONTROL = 0x400;
constexpr std::uint32_t ES_AUTOHSCROLL = 0x80, ES_LEFT = 0x0;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1, BS_AUTORADIOBUTTON = 0x9, BS_LEFTTEXT = 0x20;
constexpr std::uint32_t SS_BLACKFRAME = 0x7, SS_NOTIFY = 0x100, SS_CENTERIMAGE = 0x200, SS_SUNKEN = 0x1000;
constexpr std::uint32_t TCS_VERTICAL = 0x80, TCS_MULTILINE = 0x200, TCS_RIGHT = 0x2;
constexpr std::uint32_t LVS_REPORT = 0x1, LVS_ICON = 0x0, LVS_SINGLESEL = 0x4, LVS_SORTASCENDING = 0x10,
                        LVS_EDITLABELS = 0x200, LVS_NOCOLUMNHEADER = 0x4000, LVS_SHOWSELALWAYS = 0x8;
constexpr std::uint32_t CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3, CBS_SORT = 0x100;

namespace hostres {

enum class ControlKind {
    label,          // static text
    picture,        // static showing a bitmap
    blackFrame,     // static drawing a black frame (SS_BLACKFRAME), an area for a window's own drawing
    button,
    checkBox,
    radioButton,
    groupBox,
    edit,
    stringEdit,     // the host's string edit
    numericEdit,    // the host's numeric edit
    angleEdit,      // the host's angle edit
    browseEdit,     // an edit with a file-browse button
    comboBox,
    imageComboBox,  // drop-down list with an image per item
    listView,
    tabControl,
};

// One control of a template; position and size in dialog units. id -1 for a control
// the code never reaches (a label).
struct ControlTemplate {
    int id;
    ControlKind kind;
    int x, y, cx, cy;
    const wchar_t* text;
    std::uint32_t style;
};

struct DialogTemplate {
    int id;
    const wchar_t* title;
    std::uint32_t style;
    const wchar_t* fontName;
    int pointSize;
    int cx, cy;  // dialog units
    std::vector<ControlTemplate> controls;
};

// A bitmap or icon, made when first asked for: width × height pixels, 0xAARRGGBB,
// rows top down.
struct ImageResource {
    int id;
    int width, height;
    std::vector<std::uint32_t> (*pixels)();
};

struct ResourceTable {
    std::vector<DialogTemplate> dialogs;
    std::vector<ImageResource> bitmaps;
    std::vector<ImageResource> icons;
};

// Resources of the module whose resources are current (see CAcModuleResourceOverride);
// nullptr when nothing is current or it has no such number.
const DialogTemplate* findDialogTemplate(int id);
const ImageResource* findBitmap(int id);
const ImageResource* findIcon(int id);

}  // namespace hostres

// resources may be null for a module without windows; the table must outlive the
// registration.
bool acRegisterResourceModule(void* library, const hostres::ResourceTable* resources = nullptr);
void acUnregisterResourceModule(void* library);
bool acIsResourceModule(void* library);
void InitAcUiDLL();
// How often InitAcUiDLL has run in this process.
int acUiInitCount();

// The library whose resources are current; null when none is.
void* acCurrentResourceModule();

// Makes a module's resources current for the life of the object and restores the
// previous ones afterwards, so that overrides nest.
class CAcModuleResourceOverride {
public:
    explicit CAcModuleResourceOverride(void* library);
    ~CAcModuleResourceOverride();
    CAcModuleResourceOverride(const CAcModuleResourceOverride&) = delete;
    CAcModuleResourceOverride& operator=(const CAcModuleResourceOverride&) = delete;

private:
    void* m_previous;
};
