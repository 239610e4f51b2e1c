#pragma once

// Device contexts and bitmaps of the window system, with the platform's names and
// contracts, for code that reads a window's pixels back: a window's context reads what
// the window shows (its own drawing and its children's, as painted now), a memory
// context reads and writes the bitmap selected into it.

#include "ui/framework/wintypes.h"

#include <cstdint>

namespace hostui {
class GdiObject;
class DeviceContext;
}  // namespace hostui

// Every object handle is one type; a call checks the kind of object it was given.
using HGDIOBJ = hostui::GdiObject*;
using HBITMAP = HGDIOBJ;
using HDC = hostui::DeviceContext*;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using LONG = std::int32_t;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD BI_RGB = 0;

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};
// As on the platform, the colour table runs on past the one entry declared here: the
// caller provides room for all of it.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40 && sizeof(RGBQUAD) == 4, "the platform's packed layouts");

// The context of a window's client area; null for no window. Released with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// A memory context; deleted with DeleteDC.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// A colour bitmap of width × height pixels, black; deleted with DeleteObject once no
// context holds it.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
BOOL DeleteObject(HGDIOBJ object);
// Selects a bitmap into a memory context; answers the bitmap it held (at first the
// context's own 1 × 1 bitmap, which selected back lets go of the caller's), or null
// when the object cannot be selected.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Copies width × height pixels from (xSrc, ySrc) of src to (x, y) of dest, which must
// be a memory context holding a bitmap. Only SRCCOPY; parts outside the source are black.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
// Rows of a bitmap as a device-independent bitmap of the header's width and bit count
// (8 or 32; rows bottom-up for a positive height). At 8 bits the colour table written
// after the header is the 256 drawing colours (0 black) and each pixel the nearest of
// them. Without bits only the header's size fields are filled in. Answers the number
// of rows written, 0 on failure; the header's fields are left as the caller set them.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
