#pragma once

#include "frame/hostapi.h"

// The property list's in-place edit: bound to the edit box the list opens over a value,
// it holds the box over the value cell wherever the list would put it, and hands Tab,
// Up and Down to the list, which moves the edit to the neighbouring row.
class CPropEdit : public CEdit {
public:
    // The box's place in the list's client pixels: the value cell with 2 pixels more on
    // the left and top and 1 more on the right and bottom.
    void forceGeometry(const CRect& valueCell);

    int x = 0, y = 0, width = 0, height = 0;

protected:
    UINT OnGetDlgCode() override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnWindowPosChanging(WINDOWPOS* pos) override;
};
