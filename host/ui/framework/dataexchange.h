#pragma once

#include "ui/framework/wnd.h"

// One exchange between a dialog's controls and its members (UpdateData): saving reads
// the controls into the members, loading shows the members in the controls.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// The radio group that begins with control firstId, as the template orders it: it runs
// up to the next control with WS_GROUP, and controls in it that are no radio buttons do
// not count. value is the zero-based index of the checked button, -1 when none is.
void DDX_Radio(CDataExchange* exchange, int firstId, int& value);
