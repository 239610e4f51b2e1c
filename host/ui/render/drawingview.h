#pragma once

#include "ge/point3d.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include <QColor>
#include <QPainter>
#include <QPixmap>

class AcDbDatabase;
class AcDbEntity;
class AcDbObjectId;
namespace hostdb {
struct ObjectSlot;
}

namespace hostui {

class DisplayList;
class EntityRenderer;

// The drawing view: the current space of one database drawn in plan on a dark
// background. It owns its display list and rebuilds it whole on regen(); after a change
// (a command, an undo) applyChanges() takes out and puts back only the entities the
// database says changed, and repaints only where they were and are.
//
// Mouse contract (what the main window's input relies on):
// - a left press and release within a few pixels is a click: pointClicked;
// - a left drag beyond that is a rectangle: rectangleDragged, corners in press/release
//   order, so a caller tells window (left to right) from crossing (right to left);
// - the middle button pans, the wheel zooms about the cursor; neither emits a click;
// - every mouse move emits cursorMoved with the drawing point under the cursor.
class DrawingView : public QWidget {
    Q_OBJECT
public:
    explicit DrawingView(QWidget* parent = nullptr);
    ~DrawingView() override;

    // Not owned; nullptr shows an empty view.
    void setDatabase(AcDbDatabase* db);
    AcDbDatabase* database() const { return m_db; }
    // Builds the display list again from the whole database.
    void regen();
    // Evaluates the drawing's fields and shows what changed since the last regen or
    // call: the entities the database's change journal names are drawn again and their
    // regions repainted; a change beyond the space's own entities (a layer, a block
    // definition) regenerates whole. Answers whether it regenerated whole.
    bool applyChanges();
    void zoomExtents();

    AcGePoint3d toDrawing(QPointF pixel) const;
    QPointF toPixel(const AcGePoint3d& point) const;
    // Drawing units one pixel spans at the current zoom.
    double unitsPerPixel() const { return m_unitsPerPixel; }

    // Entities drawn over the drawing while a jig or a drag runs (not owned; they must
    // outlive the call or be replaced first). An empty list clears them.
    void setTransients(std::vector<const AcDbEntity*> entities);

    // What the view shows, for scripts: the entities of the current space, and every
    // text, MText, attribute and field as displayed.
    int entityCount() const;
    // MText paragraphs are joined by '\n'.
    std::vector<std::wstring> displayedTexts() const;

    // Paints the background and the drawing (not the transients, cursor or rubber band)
    // as the view shows them now, onto a device of the view's size: the view's own
    // painting path, for pictures and for measuring it.
    void paintDrawing(QPainter& painter) const;
    // The primitives of the last regen, in world coordinates.
    const DisplayList& displayList() const { return *m_list; }
    static QColor backgroundColor() { return QColor(33, 40, 48); }

signals:
    void cursorMoved(const AcGePoint3d& point);
    void pointClicked(const AcGePoint3d& point);
    void rectangleDragged(const AcGePoint3d& from, const AcGePoint3d& to);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Reach { none, entity, everything };
    // What a change of the object means for the view; for an entity of the space (or
    // its attribute, field or extension dictionary) that entity's slot.
    Reach reachOf(AcDbObjectId id, AcDbObjectId space, hostdb::ObjectSlot*& entity) const;
    // Draws one entity of the space into the display list under its slot.
    void drawOne(EntityRenderer& renderer, hostdb::ObjectSlot* slot);
    void countEntities();
    void repaintRegion(const QRectF& world);
    void invalidateCache();
    void paintOverlays(QPainter& painter);

    AcDbDatabase* m_db = nullptr;
    // View centre in drawing units and the zoom.
    AcGePoint3d m_center;
    double m_unitsPerPixel = 1.0;
    std::vector<const AcDbEntity*> m_transients;
    QPoint m_pressPixel;
    QPoint m_lastPixel;
    Qt::MouseButton m_pressed = Qt::NoButton;
    bool m_rubberBand = false;

    std::unique_ptr<DisplayList> m_list;
    // Every text shown, with the slot of the entity that shows it, in drawing order.
    std::vector<std::pair<hostdb::ObjectSlot*, std::wstring>> m_texts;
    int m_entityCount = 0;
    // The drawing as last painted, with the view it was painted at: a pan moves it, any
    // other change paints it again. Cursor moves and rubber bands repaint only over it.
    QPixmap m_cache;
    bool m_cacheValid = false;
    AcGePoint3d m_cacheCenter;
    double m_cacheUnitsPerPixel = 0;
    // Until the user pans or zooms, a resize fits the extents again.
    bool m_keepFitted = true;
    QPoint m_cursor{-1, -1};
};

}  // namespace hostui
