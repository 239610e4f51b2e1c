#pragma once

#include "frame/hostapi.h"

// The Block Manager page of the palette (template 104). Its controls come with the
// block library.
class CBlockManagerTabDlg : public CAcUiDialog {
public:
    CBlockManagerTabDlg();

protected:
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;
};
