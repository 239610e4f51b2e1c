#pragma once

#include "ed/dragdisplay.h"

#include <QPointer>

#include <functional>
#include <vector>

class AcDbEntity;

namespace hostui {
class DrawingView;
}

namespace hostapp {

// Shows a running drag as the view's transients. While it is installed, the entities
// that a drag draws reach it through AcDbEntity's draw hook (a hook set before is
// still called).
class ViewDragDisplay : public hosted::DragDisplay {
public:
    explicit ViewDragDisplay(hostui::DrawingView& view);
    ~ViewDragDisplay() override;
    ViewDragDisplay(const ViewDragDisplay&) = delete;
    ViewDragDisplay& operator=(const ViewDragDisplay&) = delete;

    void begin() override;
    void present(const std::vector<const AcDbEntity*>& extra) override;
    void end() override;

    // What the view shows of the drag now; empty when none runs.
    const std::vector<const AcDbEntity*>& shown() const { return m_shown; }
    int framesShown() const { return m_frames; }

private:
    QPointer<hostui::DrawingView> m_view;
    std::function<void(AcDbEntity*)> m_previousHook;
    int m_depth = 0;  // a drag may start another (a jig whose sampler prompts)
    int m_frames = 0;
    std::vector<const AcDbEntity*> m_drawn;
    std::vector<const AcDbEntity*> m_shown;
};

}  // namespace hostapp
