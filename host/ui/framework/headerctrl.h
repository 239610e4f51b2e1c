#pragma once

#include "ui/framework/wnd.h"

constexpr UINT HDI_WIDTH = 0x1, HDI_TEXT = 0x2, HDI_FORMAT = 0x4;
constexpr int HDF_LEFT = 0x0, HDF_STRING = 0x4000, HDF_SORTDOWN = 0x200, HDF_SORTUP = 0x400;

struct HDITEM {
    UINT mask = 0;
    int cxy = 0;
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
};

// The column headers of a report list. A header shows a sort arrow when its format
// holds HDF_SORTUP or HDF_SORTDOWN.
class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const;
    // Fills the fields the mask asks for; the text is cut to cchTextMax with its terminator.
    BOOL GetItem(int index, HDITEM* item) const;
    // Takes the width and format the mask names; the text of a header stays.
    BOOL SetItem(int index, HDITEM* item);
};
