#pragma once

#include "frame/hostapi.h"

// The Field Manager page of the palette (template 105). Its controls come with the
// property list.
class CFieldManagerTabDlg : public CAcUiDialog {
public:
    CFieldManagerTabDlg();

protected:
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;
};
