#pragma once

#include "frame/hostapi.h"

// The Block Manager's icon list. Enter is the list's own key here, not the page's:
// it inserts the selected block as a double-click does (told to the page as
// LVN_KEYDOWN with VK_RETURN). Every other key is the list view's.
class CBlockListCtrl : public CListCtrl {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = CListCtrl::WindowProc(message, wParam, lParam);
        if (message == WM_GETDLGCODE && wParam == VK_RETURN) return result | DLGC_WANTALLKEYS;
        return result;
    }
};
