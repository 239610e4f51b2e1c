#pragma once

#include "ui/framework/wnd.h"

#include <QString>

// The tooltip's question for a tool's text, and its answer.
constexpr UINT TTN_NEEDTEXT = static_cast<UINT>(-530);
constexpr UINT TTF_IDISHWND = 0x1;
// A tool whose text its owner gives when asked (TTN_NEEDTEXT).
inline wchar_t* const LPSTR_TEXTCALLBACK = reinterpret_cast<wchar_t*>(static_cast<std::intptr_t>(-1));

struct NMTTDISPINFO {
    NMHDR hdr;
    wchar_t* lpszText = nullptr;
    wchar_t szText[80] = {};
    void* hinst = nullptr;
    UINT uFlags = 0;
    LPARAM lParam = 0;
};
using LPNMTTDISPINFO = NMTTDISPINFO*;

// Tips shown when the pointer rests on a control. A tip grows as wide as its longest
// line, so "\r\n" in a tip breaks it. A tool added with LPSTR_TEXTCALLBACK asks the
// window the tooltip was created for, each time: a WM_NOTIFY TTN_NEEDTEXT from the
// tooltip's window, with TTF_IDISHWND and the tool's window handle as idFrom.
class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* control, LPCTSTR text);
    void Activate(BOOL active);
    // Answers the width before; kept for the platform's callers, tips here wrap only at
    // their own line breaks.
    int SetMaxTipWidth(int width);
    int GetMaxTipWidth() const { return m_maxWidth; }
    // The platform hands the tip the mouse messages of its tools; Qt shows tips itself.
    void RelayEvent(MSG*) {}

    // The text of a callback tool, asked of the owner now.
    QString askText(QWidget* tool);

private:
    CWnd* m_owner = nullptr;
    bool m_active = true;
    int m_maxWidth = -1;
};

namespace hostui {

// What the pointer resting on the control would show: its own tip, or its tooltip's
// owner's answer for it.
QString toolTipText(QWidget* control);

}  // namespace hostui
