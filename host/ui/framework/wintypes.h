#pragma once

// The window system's basic types and message numbers, with the platform's names and
// values, so that window code of a module reads as it would on the CAD host. A window
// handle is the Qt widget that stands for the window.

#include "ap/platform.h"
#include "ap/resources.h"

#include <cstdint>

class QWidget;

using HWND = QWidget*;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LPCTSTR = const wchar_t*;
using COLORREF = std::uint32_t;

#ifndef TRUE
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
#endif

constexpr UINT WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_SIZE = 0x0005, WM_PAINT = 0x000F, WM_SETFONT = 0x0030,
               WM_TIMER = 0x0113,
               WM_NOTIFY = 0x004E, WM_COMMAND = 0x0111, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201,
               WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204,
               WM_RBUTTONUP = 0x0205, WM_USER = 0x0400, WM_APP = 0x8000;
// The host's keep-focus query: a window answering true keeps the keyboard focus.
constexpr UINT WM_ACAD_KEEPFOCUS = 0x7101;

constexpr WPARAM MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;
constexpr UINT SIZE_RESTORED = 0;

constexpr int SW_HIDE = 0, SW_SHOW = 5, SW_SHOWNORMAL = 1;
constexpr UINT SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4, SWP_NOREDRAW = 0x8,
               SWP_NOACTIVATE = 0x10, SWP_FRAMECHANGED = 0x20, SWP_SHOWWINDOW = 0x40;

constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4;
constexpr UINT BN_CLICKED = 0, BN_DOUBLECLICKED = 5, EN_SETFOCUS = 0x100, EN_KILLFOCUS = 0x200, EN_CHANGE = 0x300,
               CBN_SELCHANGE = 1, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_SELENDOK = 9, STN_DBLCLK = 1;

// Notification codes of WM_NOTIFY.
constexpr UINT NM_CLICK = static_cast<UINT>(-2), NM_DBLCLK = static_cast<UINT>(-3),
               NM_RCLICK = static_cast<UINT>(-5), TCN_SELCHANGE = static_cast<UINT>(-551),
               TCN_SELCHANGING = static_cast<UINT>(-552);

// Control-bar styles and docking sides.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000, CBRS_ALIGN_TOP = 0x2000, CBRS_ALIGN_RIGHT = 0x4000,
                CBRS_ALIGN_BOTTOM = 0x8000, CBRS_ALIGN_ANY = 0xF000, CBRS_BORDER_LEFT = 0x100,
                CBRS_BORDER_TOP = 0x200, CBRS_BORDER_RIGHT = 0x400, CBRS_BORDER_BOTTOM = 0x800,
                CBRS_SIZE_DYNAMIC = 0x4, CBRS_FLOATING = 0x1;
constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B, AFX_IDW_DOCKBAR_LEFT = 0xE81C, AFX_IDW_DOCKBAR_RIGHT = 0xE81D,
               AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
// Modes of a dynamic layout request.
constexpr DWORD LM_STRETCH = 0x1, LM_HORZ = 0x2, LM_MRUWIDTH = 0x4, LM_HORZDOCK = 0x8, LM_VERTDOCK = 0x10,
                LM_LENGTHY = 0x20, LM_COMMIT = 0x40;
constexpr UINT CS_DBLCLKS = 0x8;

constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) { return (WPARAM{high} << 16) | (low & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(low & 0xFFFF));
}
constexpr unsigned LOWORD(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFF); }
constexpr unsigned HIWORD(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFF); }

struct CPoint {
    int x = 0, y = 0;
};

struct CSize {
    int cx = 0, cy = 0;
    CSize() = default;
    CSize(int w, int h) : cx(w), cy(h) {}
    bool operator==(const CSize&) const = default;
};

struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    CRect() = default;
    CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
    bool operator==(const CRect&) const = default;
};
using RECT = CRect;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

struct CREATESTRUCT {
    int x = 0, y = 0, cx = 0, cy = 0;
    LPCTSTR lpszName = nullptr;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct LOGFONT {
    int lfHeight = 0;  // negative: character height in pixels
    int lfWidth = 0;
    int lfEscapement = 0;  // tenths of a degree
    int lfOrientation = 0;
    int lfWeight = 400;
    bool lfItalic = false;
    bool lfUnderline = false;
    wchar_t lfFaceName[32] = {};
};

// Keys, and what a control tells the dialog about the keys it wants.
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046, WM_GETDLGCODE = 0x0087, WM_KEYDOWN = 0x0100, WM_CHAR = 0x0102;
constexpr UINT VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
               VK_ESCAPE = 0x1B, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
               VK_DOWN = 0x28, VK_DELETE = 0x2E, VK_F2 = 0x71;
constexpr UINT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_HASSETSEL = 0x8,
               DLGC_WANTCHARS = 0x80;
constexpr int SM_CXVSCROLL = 2;
using SHORT = std::int16_t;
using LPINT = int*;
using LPRECT = CRect*;

struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    UINT flags = 0;
};
