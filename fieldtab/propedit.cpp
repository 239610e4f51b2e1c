#include "fieldtab/propedit.h"

void CPropEdit::forceGeometry(const CRect& valueCell) {
    x = valueCell.left - 2;
    y = valueCell.top - 2;
    width = valueCell.Width() + 3;
    height = valueCell.Height() + 3;
}

UINT CPropEdit::OnGetDlgCode() { return CEdit::OnGetDlgCode() | DLGC_WANTARROWS | DLGC_WANTTAB; }

void CPropEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_TAB || nChar == VK_UP || nChar == VK_DOWN) {
        // The list reads Shift itself; the key ends this edit and starts the next one.
        if (CWnd* list = GetParent())
            list->SendMessage(WM_KEYDOWN, nChar, MAKELPARAM(static_cast<int>(nRepCnt), static_cast<int>(nFlags)));
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

// The list sizes its box to the text as it grows; this one keeps to the cell.
void CPropEdit::OnWindowPosChanging(WINDOWPOS* pos) {
    CEdit::OnWindowPosChanging(pos);
    pos->x = x;
    pos->y = y;
    pos->cx = width;
    pos->cy = height;
    pos->flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
}
