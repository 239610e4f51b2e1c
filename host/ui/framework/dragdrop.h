#pragma once

#include "ui/framework/wnd.h"

#include <optional>

using DROPEFFECT = DWORD;
constexpr DROPEFFECT DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4;

// The data dragged over a drop target.
class COleDataObject {};

// The source of a drag: what is dragged. The palette's drags carry nothing.
class COleDataSource {
public:
    // Runs the drag until the button is released or Escape is pressed; answers the
    // effect the target under the pointer chose at the release, or DROPEFFECT_NONE.
    DROPEFFECT DoDragDrop(DWORD effects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          const CRect* startRect = nullptr, void* dropSource = nullptr);
};

// A window's handling of drags over it. The defaults accept nothing.
class COleDropTarget {
public:
    virtual ~COleDropTarget() = default;
    virtual DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point);
    virtual BOOL OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT effect, CPoint point);
    // -1: not handled here, OnDrop decides.
    virtual DROPEFFECT OnDropEx(CWnd* window, COleDataObject* data, DROPEFFECT dropDefault, DROPEFFECT dropList,
                                CPoint point);
    virtual void OnDragLeave(CWnd* window);
    virtual DROPEFFECT OnDragScroll(CWnd* window, DWORD keyState, CPoint point);
};

// While an override is on, drags over the drawing view go to target instead of the
// host's own handling (which takes no drop from the palette). Answer 0 when there is
// no drawing view, or when another override is on or it is not target's.
BOOL acedStartOverrideDropTarget(COleDropTarget* target);
BOOL acedEndOverrideDropTarget(COleDropTarget* target);

namespace hostui {

// Without a display Qt's drag loop ends at once; the host runs its own there, which a
// script steers by saying beforehand where the next drag ends.
struct PlannedDrop {
    enum class End { view, outside, cancel };
    End end = End::cancel;
    QPoint viewPixel;  // where over the drawing view, for End::view
};
void planNextDrop(std::optional<PlannedDrop> drop);
// Whether the planned drop is still waiting for a drag to end it.
bool dropIsPlanned();

}  // namespace hostui
