#pragma once

#include "ui/framework/wnd.h"

// Tips shown when the pointer rests on a control. A tip grows as wide as its longest
// line, so "\r\n" in a tip breaks it.
class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* control, LPCTSTR text);
    void Activate(BOOL active);
    int SetMaxTipWidth(int width);
    // The platform hands the tip the mouse messages of its tools; Qt shows tips itself.
    void RelayEvent(MSG*) {}
};
