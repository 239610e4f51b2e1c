#include "ui/render/drawingview.h"

#include "db/blocktable.h"
#include "db/database.h"
#include "db/dictionary.h"
#include "db/field.h"
#include "db/group.h"
#include "ui/render/displaylist.h"
#include "ui/render/entityrenderer.h"
#include "ui/render/paintersink.h"
#include "ui/render/renderercontext.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace hostui {

namespace {
// A press that moves less than this is still a click.
constexpr int clickSlopPixels = 4;
// Half the arms of the crosshair, in pixels.
constexpr int crosshairArm = 12;
// Pixels left free around the drawing by zoomExtents.
constexpr double extentsMargin = 12.0;
}  // namespace

DrawingView::DrawingView(QWidget* parent) : QWidget(parent), m_list(std::make_unique<DisplayList>()) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::BlankCursor);
}

DrawingView::~DrawingView() = default;

void DrawingView::setDatabase(AcDbDatabase* db) {
    m_db = db;
    regen();
    zoomExtents();
}

void DrawingView::regen() {
    m_list->clear();
    m_texts.clear();
    if (m_db) {
        // A regeneration shows the drawing as it is now: fields follow the custom
        // properties, however these changed since.
        hostdb::evaluateFields(*m_db);
        m_db->takeChanges();
        EntityRenderer renderer(m_db, *m_list, qRgb(255, 255, 255));
        render::ReadAccess access(m_db->currentSpaceId());
        if (const auto* block = AcDbBlockTableRecord::cast(access.get()))
            for (const AcDbObjectId id : block->entityIds()) drawOne(renderer, id.slot());
    }
    countEntities();
    m_list->finish();
    invalidateCache();
}

void DrawingView::drawOne(EntityRenderer& renderer, hostdb::ObjectSlot* slot) {
    const AcDbObjectId id(slot);
    if (id.isErased()) return;
    render::ReadAccess entity(id);
    const auto* e = AcDbEntity::cast(entity.get());
    if (!e) return;
    const std::size_t textsBefore = renderer.displayedTexts().size();
    m_list->setOwner(reinterpret_cast<std::uintptr_t>(slot));
    renderer.drawEntity(*e);
    m_list->setOwner(0);
    const auto& texts = renderer.displayedTexts();
    for (std::size_t i = textsBefore; i < texts.size(); ++i) m_texts.emplace_back(slot, texts[i]);
}

void DrawingView::countEntities() {
    m_entityCount = 0;
    if (!m_db) return;
    render::ReadAccess access(m_db->currentSpaceId());
    if (const auto* block = AcDbBlockTableRecord::cast(access.get()))
        for (const AcDbObjectId id : block->entityIds())
            if (!id.isErased()) ++m_entityCount;
}

// Follows owners up from the changed object to the entity of the space it shows in: an
// attribute to its reference, a field through its dictionaries to the text that shows
// it. Objects nobody sees (groups, dictionaries of the drawing, the tables themselves)
// change nothing shown; anything else that entities draw through (a layer, a block
// definition and its entities, a style) changes what cannot be told apart.
DrawingView::Reach DrawingView::reachOf(AcDbObjectId id, AcDbObjectId space, hostdb::ObjectSlot*& entity) const {
    constexpr int kMaxHops = 8;
    AcDbObjectId at = id;
    for (int hop = 0; hop < kMaxHops; ++hop) {
        const AcDbObject* obj = at.slot()->object;
        if (!obj) {
            // Taken out by an undo: only the display list may still hold it.
            entity = at.slot();
            return Reach::entity;
        }
        if (at == space) return Reach::none;
        const AcDbObjectId owner = obj->ownerId();
        if (AcDbEntity::cast(obj)) {
            if (owner == space) {
                entity = at.slot();
                return Reach::entity;
            }
            if (owner.isNull() || !AcDbEntity::cast(owner.slot()->object)) return Reach::everything;
        } else if (AcDbField::cast(obj) || AcDbDictionary::cast(obj)) {
            if (owner.isNull()) return Reach::none;
        } else if (AcDbGroup::cast(obj) || AcDbForeignObject::cast(obj) || AcDbSymbolTable::cast(obj)) {
            return Reach::none;
        } else {
            return Reach::everything;
        }
        at = owner;
    }
    return Reach::everything;
}

bool DrawingView::applyChanges() {
    if (!m_db) return false;
    hostdb::evaluateFields(*m_db);
    const hostdb::ChangeJournal changes = m_db->takeChanges();
    if (changes.overflowed) {
        regen();
        return true;
    }
    if (changes.ids.empty()) return false;
    const AcDbObjectId space = m_db->currentSpaceId();
    std::vector<hostdb::ObjectSlot*> touched;
    std::unordered_set<hostdb::ObjectSlot*> seen;
    for (const AcDbObjectId id : changes.ids) {
        hostdb::ObjectSlot* entity = nullptr;
        switch (reachOf(id, space, entity)) {
            case Reach::none: break;
            case Reach::entity:
                if (seen.insert(entity).second) touched.push_back(entity);
                break;
            case Reach::everything: regen(); return true;
        }
    }
    if (touched.empty()) return false;
    std::optional<QRectF> dirty;
    const auto widen = [&](const std::optional<QRectF>& box) {
        if (box) dirty = dirty ? dirty->united(*box) : *box;
    };
    std::erase_if(m_texts, [&](const auto& text) { return seen.count(text.first) > 0; });
    EntityRenderer renderer(m_db, *m_list, qRgb(255, 255, 255));
    for (hostdb::ObjectSlot* slot : touched) {
        widen(m_list->remove(reinterpret_cast<std::uintptr_t>(slot)));
        drawOne(renderer, slot);
        widen(m_list->ownerBox(reinterpret_cast<std::uintptr_t>(slot)));
    }
    countEntities();
    // Primitives outside the grid cost every repaint a look; past a share of the whole
    // the grid is laid again.
    if (m_list->unindexed() > std::max<std::size_t>(1024, m_list->size() / 16)) m_list->finish();
    if (dirty) repaintRegion(*dirty);
    return false;
}

// Paints the region again in the picture of the drawing kept for the window, as it was
// painted (its centre and zoom), and asks the window to show that part.
void DrawingView::repaintRegion(const QRectF& world) {
    if (!m_cacheValid || m_cacheUnitsPerPixel != m_unitsPerPixel || m_cache.deviceIndependentSize() != QSizeF(size())) {
        invalidateCache();
        return;
    }
    ViewMapping mapping;
    mapping.scale = 1.0 / m_cacheUnitsPerPixel;
    mapping.originX = width() / 2.0 - m_cacheCenter.x * mapping.scale;
    mapping.originY = height() / 2.0 + m_cacheCenter.y * mapping.scale;
    // A pixel and a half around: lines are drawn half a pixel either side of their path.
    const QPointF a = mapping.toPixel(QPointF(world.left(), world.top()));
    const QPointF b = mapping.toPixel(QPointF(world.right(), world.bottom()));
    // Cut to the window before rounding to whole pixels: a change far away (a point typed
    // as 1e300) lies beyond what an int holds.
    const QRectF window(QPointF(0, 0), QSizeF(size()));
    QRectF area = QRectF(a, b).normalized().adjusted(-2, -2, 2, 2);
    if (!std::isfinite(area.left()) || !std::isfinite(area.right()) || !std::isfinite(area.top()) ||
        !std::isfinite(area.bottom()))
        area = window;
    const QRect pixels = (area & window).toAlignedRect() & QRect(QPoint(), size());
    if (pixels.isEmpty()) return;
    QPainter painter(&m_cache);
    painter.setClipRect(pixels);
    painter.fillRect(pixels, backgroundColor());
    PainterSink sink(painter, mapping);
    const QPointF wa = mapping.toWorld(QPointF(pixels.topLeft())), wb = mapping.toWorld(QPointF(pixels.bottomRight()) + QPointF(1, 1));
    m_list->replay(sink, QRectF(wa, wb).normalized());
    const QPoint shift(static_cast<int>(std::lround((m_cacheCenter.x - m_center.x) / m_unitsPerPixel)),
                       static_cast<int>(std::lround((m_center.y - m_cacheCenter.y) / m_unitsPerPixel)));
    update(pixels.translated(shift));
}

void DrawingView::zoomExtents() {
    const QRectF box = m_list->bounds();
    m_keepFitted = true;
    if (m_list->size() == 0) {
        m_center = AcGePoint3d(0, 0, 0);
        m_unitsPerPixel = 1.0;
    } else {
        const ViewMapping fit = ViewMapping::fit(box, QRectF(rect()), extentsMargin);
        m_unitsPerPixel = 1.0 / fit.scale;
        m_center = AcGePoint3d(box.center().x(), box.center().y(), 0.0);
    }
    invalidateCache();
}

AcGePoint3d DrawingView::toDrawing(QPointF pixel) const {
    return {m_center.x + (pixel.x() - width() / 2.0) * m_unitsPerPixel,
            m_center.y - (pixel.y() - height() / 2.0) * m_unitsPerPixel, 0.0};
}

QPointF DrawingView::toPixel(const AcGePoint3d& point) const {
    return {width() / 2.0 + (point.x - m_center.x) / m_unitsPerPixel,
            height() / 2.0 - (point.y - m_center.y) / m_unitsPerPixel};
}

void DrawingView::setTransients(std::vector<const AcDbEntity*> entities) {
    m_transients = std::move(entities);
    update();
}

int DrawingView::entityCount() const { return m_entityCount; }

// In the order of the space's entities, as a regeneration draws them: an entity drawn
// again after a change keeps its place.
std::vector<std::wstring> DrawingView::displayedTexts() const {
    std::unordered_map<const hostdb::ObjectSlot*, std::size_t> position;
    if (m_db) {
        render::ReadAccess access(m_db->currentSpaceId());
        if (const auto* block = AcDbBlockTableRecord::cast(access.get()))
            for (const AcDbObjectId id : block->entityIds()) position.emplace(id.slot(), position.size());
    }
    std::vector<std::pair<std::size_t, const std::wstring*>> ordered;
    ordered.reserve(m_texts.size());
    for (const auto& [slot, text] : m_texts) {
        const auto it = position.find(slot);
        ordered.emplace_back(it == position.end() ? position.size() : it->second, &text);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::wstring> texts;
    texts.reserve(ordered.size());
    for (const auto& entry : ordered) texts.push_back(*entry.second);
    return texts;
}

void DrawingView::invalidateCache() {
    m_cacheValid = false;
    update();
}

void DrawingView::paintDrawing(QPainter& painter) const {
    painter.fillRect(QRect(QPoint(0, 0), size()), backgroundColor());
    ViewMapping mapping;
    mapping.scale = 1.0 / m_unitsPerPixel;
    mapping.originX = width() / 2.0 - m_center.x * mapping.scale;
    mapping.originY = height() / 2.0 + m_center.y * mapping.scale;
    PainterSink sink(painter, mapping);
    const QPointF a = mapping.toWorld(QPointF(0, 0)), b = mapping.toWorld(QPointF(width(), height()));
    // A primitive's box is the bare geometry; a pixel more keeps lines on the edge.
    const double pad = m_unitsPerPixel;
    m_list->replay(sink, QRectF(QPointF(std::min(a.x(), b.x()) - pad, std::min(a.y(), b.y()) - pad),
                                QPointF(std::max(a.x(), b.x()) + pad, std::max(a.y(), b.y()) + pad)));
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool sameZoom = m_cacheUnitsPerPixel == m_unitsPerPixel;
    const qreal ratio = devicePixelRatioF();
    if (!m_cacheValid || !sameZoom || m_cache.deviceIndependentSize() != QSizeF(size()) ||
        m_cache.devicePixelRatio() != ratio) {
        // At the screen's own resolution, so that lines stay sharp on a dense display.
        m_cache = QPixmap(size() * ratio);
        m_cache.setDevicePixelRatio(ratio);
        QPainter cachePainter(&m_cache);
        paintDrawing(cachePainter);
        m_cacheValid = true;
        m_cacheCenter = m_center;
        m_cacheUnitsPerPixel = m_unitsPerPixel;
    }
    const QPointF shift((m_cacheCenter.x - m_center.x) / m_unitsPerPixel, (m_center.y - m_cacheCenter.y) / m_unitsPerPixel);
    if (shift.manhattanLength() > 0) painter.fillRect(rect(), backgroundColor());
    painter.drawPixmap(shift, m_cache);
    paintOverlays(painter);
}

void DrawingView::paintOverlays(QPainter& painter) {
    if (!m_transients.empty()) {
        ViewMapping mapping;
        mapping.scale = 1.0 / m_unitsPerPixel;
        mapping.originX = width() / 2.0 - m_center.x * mapping.scale;
        mapping.originY = height() / 2.0 + m_center.y * mapping.scale;
        PainterSink sink(painter, mapping);
        EntityRenderer renderer(m_db, sink, qRgb(255, 255, 255));
        for (const AcDbEntity* e : m_transients)
            if (e) renderer.drawEntity(*e);
    }
    if (m_rubberBand) {
        const QRect box = QRect(m_pressPixel, m_lastPixel).normalized();
        const bool window = m_lastPixel.x() >= m_pressPixel.x();
        QPen pen(window ? QColor(120, 170, 255) : QColor(120, 230, 120), 0);
        pen.setStyle(window ? Qt::SolidLine : Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(window ? QBrush(QColor(80, 120, 255, 40)) : QBrush(QColor(80, 230, 80, 50)));
        if (window) painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
    }
    if (m_cursor.x() >= 0 && m_pressed != Qt::MiddleButton) {
        painter.setPen(QPen(QColor(230, 230, 230), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(m_cursor - QPoint(crosshairArm, 0), m_cursor + QPoint(crosshairArm, 0));
        painter.drawLine(m_cursor - QPoint(0, crosshairArm), m_cursor + QPoint(0, crosshairArm));
        painter.drawRect(QRect(m_cursor - QPoint(3, 3), QSize(6, 6)));
    }
}

void DrawingView::resizeEvent(QResizeEvent*) {
    if (m_keepFitted && m_list->size() > 0) zoomExtents();
    invalidateCache();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button();
    m_pressPixel = m_lastPixel = event->position().toPoint();
    m_rubberBand = false;
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_pressed == Qt::MiddleButton) {
        const QPoint delta = at - m_lastPixel;
        m_center.x -= delta.x() * m_unitsPerPixel;
        m_center.y += delta.y() * m_unitsPerPixel;
        m_keepFitted = false;
    } else if (m_pressed == Qt::LeftButton && (at - m_pressPixel).manhattanLength() > clickSlopPixels) {
        m_rubberBand = true;
    }
    m_lastPixel = at;
    m_cursor = at;
    update();
    emit cursorMoved(toDrawing(at));
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_pressed == Qt::LeftButton && event->button() == Qt::LeftButton) {
        // A drag the mouse events reported only at its ends is still a drag.
        if (!m_rubberBand && (at - m_pressPixel).manhattanLength() > clickSlopPixels) m_rubberBand = true;
        if (m_rubberBand) emit rectangleDragged(toDrawing(m_pressPixel), toDrawing(at));
        else emit pointClicked(toDrawing(at));
    }
    // The pan ends: the drawing is painted again to fill what the move uncovered.
    if (m_pressed == Qt::MiddleButton) invalidateCache();
    m_pressed = Qt::NoButton;
    m_rubberBand = false;
    update();
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    const QPointF at = event->position();
    const AcGePoint3d before = toDrawing(at);
    const double factor = std::pow(1.0015, -event->angleDelta().y());
    m_unitsPerPixel *= factor;
    const AcGePoint3d after = toDrawing(at);
    m_center.x += before.x - after.x;
    m_center.y += before.y - after.y;
    m_keepFitted = false;
    invalidateCache();
}

void DrawingView::leaveEvent(QEvent*) {
    m_cursor = QPoint(-1, -1);
    update();
}

}  // namespace hostui
