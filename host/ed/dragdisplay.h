#pragma once

#include <vector>

class AcDbEntity;

namespace hosted {

// The screen's side of a running drag (a jig or acedDragGen). The GUI installs one;
// scripts have none, and a drag then shows nothing.
//
// Protocol: begin() once; then for every sample the entities the drag draws
// (AcDbEntity::draw, through the graphics layer's draw hook) and present(extra), which
// shows what was drawn since the last present plus extra, in place of the last frame;
// end() when the drag is over. The entities must stay alive until the next present()
// or end(): end() comes before the drag's caller may delete them.
class DragDisplay {
public:
    virtual ~DragDisplay() = default;
    virtual void begin() = 0;
    virtual void present(const std::vector<const AcDbEntity*>& extra) = 0;
    virtual void end() = 0;
};

// Not owned; nullptr removes it.
void setDragDisplay(DragDisplay* display);

// One drag on the installed display, ended on every way out of the drag.
class DragSession {
public:
    DragSession();
    ~DragSession();
    DragSession(const DragSession&) = delete;
    DragSession& operator=(const DragSession&) = delete;
    void present(const std::vector<const AcDbEntity*>& extra = {});

private:
    DragDisplay* m_display;
};

}  // namespace hosted
