#include "ui/gs/gsview.h"

#include "db/blockreference.h"
#include "db/database.h"
#include "ge/matrix3d.h"
#include "ui/gs/gsdevice.h"
#include "ui/render/entityrenderer.h"
#include "ui/render/paintersink.h"

#include <QPainter>
#include <QSize>

#include <algorithm>

namespace {

// The database whose layers and colours a drawable is drawn with: its own, or for a
// block reference standing alone that of its definition.
AcDbDatabase* databaseOf(const AcDbEntity& e) {
    if (AcDbDatabase* db = e.database()) return db;
    if (const auto* ref = AcDbBlockReference::cast(&e)) return ref->blockTableRecord().database();
    return nullptr;
}

// World to camera coordinates: x to the right, y up, z toward the eye, the target at
// the origin. A camera without a direction looks down the Z axis; an up vector along
// the line of sight is replaced by one across it.
AcGeMatrix3d worldToCamera(const AcGePoint3d& eye, const AcGePoint3d& target, const AcGeVector3d& upHint) {
    AcGeVector3d back = eye - target;
    back = back.isZeroLength() ? AcGeVector3d(0, 0, 1) : back.normal();
    AcGeVector3d right = upHint.crossProduct(back);
    if (right.isZeroLength()) right = back.perpVector().crossProduct(back);
    right = right.normal();
    const AcGeVector3d up = back.crossProduct(right).normal();
    AcGeMatrix3d m;
    const AcGeVector3d axes[3] = {right, up, back};
    const AcGeVector3d origin = target.asVector();
    for (unsigned r = 0; r < 3; ++r) {
        m(r, 0) = axes[r].x;
        m(r, 1) = axes[r].y;
        m(r, 2) = axes[r].z;
        m(r, 3) = -axes[r].dotProduct(origin);
    }
    return m;
}

}  // namespace

AcGsModel::~AcGsModel() {
    for (AcGsView* view : std::vector<AcGsView*>(m_views)) view->forgetModel(this);
}

AcGsView::~AcGsView() {
    eraseAll();
    if (m_device) m_device->erase(this);
}

bool AcGsView::add(AcGiDrawable* drawable, AcGsModel* model) {
    if (!drawable || !model) return false;
    m_entries.push_back({drawable, model});
    if (std::find(model->m_views.begin(), model->m_views.end(), this) == model->m_views.end()) model->m_views.push_back(this);
    return true;
}

bool AcGsView::erase(AcGiDrawable* drawable) {
    const auto before = m_entries.size();
    std::erase_if(m_entries, [&](const Entry& e) { return e.drawable == drawable; });
    return m_entries.size() != before;
}

void AcGsView::eraseAll() {
    for (const Entry& e : m_entries) std::erase(e.model->m_views, this);
    m_entries.clear();
}

void AcGsView::forgetModel(AcGsModel* model) {
    std::erase_if(m_entries, [&](const Entry& e) { return e.model == model; });
    std::erase(model->m_views, this);
}

void AcGsView::setView(const AcGePoint3d& position, const AcGePoint3d& target, const AcGeVector3d& upVector,
                       double fieldWidth, double fieldHeight, Projection) {
    m_position = position;
    m_target = target;
    m_up = upVector;
    m_fieldWidth = fieldWidth;
    m_fieldHeight = fieldHeight;
}

void AcGsView::invalidate() {
    if (m_device) m_device->invalidate();
}

void AcGsView::update() {
    if (m_device) m_device->update();
}

void AcGsView::draw(QPainter& painter, const QSize& size, QRgb foreground) const {
    if (size.isEmpty() || m_entries.empty()) return;
    // A field without extent (a drawing that is one point) is drawn one pixel a unit.
    const double fitWidth = m_fieldWidth > 0 ? size.width() / m_fieldWidth : 0;
    const double fitHeight = m_fieldHeight > 0 ? size.height() / m_fieldHeight : 0;
    double scale = 0;
    for (const double fit : {fitWidth, fitHeight})
        if (fit > 0 && (scale == 0 || fit < scale)) scale = fit;
    if (scale == 0) scale = 1.0;
    hostui::ViewMapping mapping;
    mapping.scale = scale;
    mapping.originX = size.width() / 2.0;
    mapping.originY = size.height() / 2.0;
    hostui::PainterSink sink(painter, mapping);
    const AcGeMatrix3d toCamera = worldToCamera(m_position, m_target, m_up);
    for (const Entry& e : m_entries) {
        hostui::EntityRenderer renderer(databaseOf(*e.drawable), sink, foreground);
        renderer.drawEntity(*e.drawable, toCamera);
    }
}
