#include "blocks/gspreviewctrl.h"

namespace {
// The field around the extents, so that lines on their edge stay in the picture.
constexpr double kFieldMargin = 1.05;
// The field of a drawing that is a single point: any positive size shows it centred.
constexpr double kPointField = 1.0;
}  // namespace

CGsPreviewCtrl::~CGsPreviewCtrl() { releaseGraphics(); }

void CGsPreviewCtrl::setupGraphics() {
    if (m_manager) return;
    m_manager = acgsGetGsManager();
    if (!m_manager) return;
    m_device = m_manager->createAutoCADDevice(GetSafeHwnd());
    m_factory = m_manager->getGSClassFactory();
    if (m_factory) m_view = m_factory->createView(nullptr, false);
    CRect client;
    GetClientRect(&client);
    if (m_device) m_device->onSize(client.Width(), client.Height());
    m_model = m_manager->createAutoCADModel();
    ownsModel = m_model != nullptr;
    if (m_device) m_device->onSize(client.Width(), client.Height());
    if (m_device && m_view) m_device->add(m_view);
}

bool CGsPreviewCtrl::addTemporary(std::unique_ptr<AcDbEntity> entity) {
    if (!entity || !m_model || !m_view) return false;
    m_view->add(entity.get(), m_model);
    m_temporaries.push_back(std::move(entity));
    return true;
}

void CGsPreviewCtrl::OnPaint() {
    ValidateRect(nullptr);
    if (!m_view) return;
    m_view->invalidate();
    m_view->update();
}

void CGsPreviewCtrl::releaseGraphics() {
    if (m_view) m_view->eraseAll();
    if (m_device && m_view) m_device->erase(m_view);
    if (m_factory && m_view) m_factory->deleteView(m_view);
    m_view = nullptr;
    if (m_manager && m_model && ownsModel) m_manager->destroyAutoCADModel(m_model);
    m_model = nullptr;
    ownsModel = false;
    if (m_manager && m_device) m_manager->destroyAutoCADDevice(m_device);
    m_device = nullptr;
    m_temporaries.clear();
    m_factory = nullptr;
    m_manager = nullptr;
}

Acad::ErrorStatus fitViewToExtents(AcGsView* view, const AcDbEntity* entity) {
    if (!view || !entity) return Acad::eInvalidInput;
    AcDbExtents extents;
    const Acad::ErrorStatus status = entity->getGeomExtents(extents);
    if (status != Acad::eOk) return status;
    const AcGePoint3d m = extents.minPoint(), M = extents.maxPoint();
    // Along the bottom edge of the box, in its own plane: a block raised off the XY
    // plane is still seen from straight above.
    AcGeVector3d u = AcGePoint3d(M.x, m.y, m.z) - m;
    // A box without width (a vertical line, a point) is seen as if it had some.
    if (u.isZeroLength()) u = AcGeVector3d(1, 0, 0);
    const AcGeVector3d up = u.perpVector().normal();
    const AcGeVector3d d = u.crossProduct(up);
    const AcGePoint3d target = m + (M - m) * 0.5;
    const AcGePoint3d eye = target + d;
    const double diagonal = (M - m).length();
    const double field = diagonal > 0 ? kFieldMargin * diagonal : kPointField;
    view->setView(eye, target, up, field, field, AcGsView::kParallel);
    view->invalidate();
    view->update();
    return status;
}
