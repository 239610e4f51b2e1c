#include "frame/dragtodrawing.h"

#include "frame/commandlineprinter.h"

DROPEFFECT CMyFileDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_MOVE; }

DROPEFFECT CMyFileDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_MOVE; }

BOOL CMyFileDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return TRUE; }

DROPEFFECT CMyFileDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint) {
    return DROPEFFECT_MOVE;
}

void CMyFileDropTarget::OnDragLeave(CWnd*) {}

bool dragToDrawing() {
    COleDataSource source;
    CMyFileDropTarget target;
    if (!acedStartOverrideDropTarget(&target)) printToCommandLine(L"Error in overriding Custom drop target!\n");
    const DROPEFFECT effect = source.DoDragDrop(DROPEFFECT_MOVE, nullptr, nullptr);
    if (!acedEndOverrideDropTarget(&target)) printToCommandLine(L"Error in ending override drop target\n");
    return effect != DROPEFFECT_NONE;
}
