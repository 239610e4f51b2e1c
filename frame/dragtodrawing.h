#pragma once

#include "frame/hostapi.h"

// The palette's drop target over the drawing view for one drag: it takes every drag
// as a move, whatever is dragged and wherever the pointer is.
class CMyFileDropTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point) override;
    BOOL OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    DROPEFFECT OnDropEx(CWnd* window, COleDataObject* data, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override;
    void OnDragLeave(CWnd* window) override;
};

// Runs one drag from a palette list; true when it was released over the drawing view.
// The drag carries nothing: the source knows what it dragged and acts afterwards.
bool dragToDrawing();
