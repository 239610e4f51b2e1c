#pragma once

#include "frame/hostapi.h"

#include <memory>
#include <vector>

// A static control that the host's graphics system draws into: it owns the device bound
// to its window, the view, the model it made and the temporary entities the view
// shows, and gives them all back when it goes (view emptied and taken off the device,
// view, model and device destroyed, then the entities deleted).
class CGsPreviewCtrl : public CStatic {
public:
    CGsPreviewCtrl() = default;
    ~CGsPreviewCtrl() override;

    // Makes the manager's device for this window, a view sized to the client area and a
    // model; each step only when what it needs was made. Does nothing once made.
    void setupGraphics();
    // Shows an entity that belongs to no database; the control keeps it until it goes.
    // Without a view and a model the entity is deleted at once and false answered.
    bool addTemporary(std::unique_ptr<AcDbEntity> entity);

    AcGsView* view() const { return m_view; }
    AcGsModel* model() const { return m_model; }
    AcGsDevice* device() const { return m_device; }

protected:
    void OnPaint() override;

private:
    void releaseGraphics();

    AcGsManager* m_manager = nullptr;
    AcGsClassFactory* m_factory = nullptr;
    AcGsDevice* m_device = nullptr;
    AcGsView* m_view = nullptr;
    AcGsModel* m_model = nullptr;
    bool ownsModel = false;
    std::vector<std::unique_ptr<AcDbEntity>> m_temporaries;
};

// Points the view at the entity from above its extents: a plan view of a drawing in the
// XY plane, centred on the extents, the field 1.05 times their diagonal both ways.
// Answers the status of the extents query (non-zero, with the view untouched, for no
// view or no entity).
Acad::ErrorStatus fitViewToExtents(AcGsView* view, const AcDbEntity* entity);
