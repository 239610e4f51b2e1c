#include "ui/framework/dragdrop.h"

#include "ui/framework/frame.h"
#include "ui/framework/keymessages.h"

#include "ed/commandline.h"
#include "ed/editor.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

#include <memory>

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint) {
    return static_cast<DROPEFFECT>(-1);
}
void COleDropTarget::OnDragLeave(CWnd*) {}
DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint) { return DROPEFFECT_NONE; }

namespace {

COleDropTarget*& overrideTarget() {
    static COleDropTarget* target = nullptr;
    return target;
}

std::optional<hostui::PlannedDrop>& plannedDrop() {
    static std::optional<hostui::PlannedDrop> drop;
    return drop;
}

CPoint pointOf(QPointF p) { return {static_cast<int>(p.x()), static_cast<int>(p.y())}; }

DWORD oleKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    return static_cast<DWORD>(hostui::keyState(buttons, modifiers));
}

// The release over the drawing view: the target's say, limited to what the source allows.
DROPEFFECT dropOnView(COleDropTarget& target, CPoint at, DROPEFFECT effect, DROPEFFECT allowed) {
    CWnd* view = acedGetAcadDwgView();
    COleDataObject data;
    // A command asking for input owns the drawing; the target would be refused its lock and
    // drop nothing, so the user is told why instead of seeing nothing happen.
    if (hosted::Editor::instance().isWaitingForInput()) {
        target.OnDragLeave(view);
        acutPrintf(L"\nThe drawing is busy with a command.");
        return DROPEFFECT_NONE;
    }
    DROPEFFECT done = target.OnDropEx(view, &data, effect, allowed, at);
    if (done == static_cast<DROPEFFECT>(-1)) done = target.OnDrop(view, &data, effect, at) ? effect : DROPEFFECT_NONE;
    return done & allowed;
}

// The host's own drag loop, steered by a planned drop.
DROPEFFECT runPlannedDrag(const hostui::PlannedDrop& drop, DROPEFFECT allowed) {
    COleDropTarget* target = overrideTarget();
    CWnd* view = acedGetAcadDwgView();
    if (drop.end != hostui::PlannedDrop::End::view || !target || !view) return DROPEFFECT_NONE;
    COleDataObject data;
    const CPoint at{drop.viewPixel.x(), drop.viewPixel.y()};
    const DWORD keys = static_cast<DWORD>(MK_LBUTTON);
    target->OnDragEnter(view, &data, keys, at);
    const DROPEFFECT effect = target->OnDragOver(view, &data, keys, at) & allowed;
    if (effect == DROPEFFECT_NONE) {
        target->OnDragLeave(view);
        return DROPEFFECT_NONE;
    }
    return dropOnView(*target, at, effect, allowed);
}

Qt::DropActions qtActions(DROPEFFECT effects) {
    Qt::DropActions actions;
    if (effects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
    if (effects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
    if (effects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
    return actions;
}

Qt::DropAction qtAction(DROPEFFECT effect) {
    if (effect & DROPEFFECT_MOVE) return Qt::MoveAction;
    if (effect & DROPEFFECT_COPY) return Qt::CopyAction;
    if (effect & DROPEFFECT_LINK) return Qt::LinkAction;
    return Qt::IgnoreAction;
}

DROPEFFECT effectOf(Qt::DropAction action) {
    switch (action) {
        case Qt::MoveAction: return DROPEFFECT_MOVE;
        case Qt::CopyAction: return DROPEFFECT_COPY;
        case Qt::LinkAction: return DROPEFFECT_LINK;
        default: return DROPEFFECT_NONE;
    }
}

DROPEFFECT allowedOf(Qt::DropActions actions) {
    DROPEFFECT e = DROPEFFECT_NONE;
    if (actions & Qt::MoveAction) e |= DROPEFFECT_MOVE;
    if (actions & Qt::CopyAction) e |= DROPEFFECT_COPY;
    if (actions & Qt::LinkAction) e |= DROPEFFECT_LINK;
    return e;
}

// Real drags under a display: the drawing view's drag events go to the override target.
class ViewDropFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        COleDropTarget* target = overrideTarget();
        CWnd* view = acedGetAcadDwgView();
        if (!target || !view || watched != view->widget()) return false;
        COleDataObject data;
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* e = static_cast<QDragMoveEvent*>(event);
                const DWORD keys = oleKeys(e->buttons(), e->modifiers());
                const DROPEFFECT effect = (event->type() == QEvent::DragEnter
                                               ? target->OnDragEnter(view, &data, keys, pointOf(e->position()))
                                               : target->OnDragOver(view, &data, keys, pointOf(e->position()))) &
                                          allowedOf(e->possibleActions());
                if (effect == DROPEFFECT_NONE) {
                    e->ignore();
                } else {
                    e->setDropAction(qtAction(effect));
                    e->accept();
                }
                return true;
            }
            case QEvent::DragLeave: target->OnDragLeave(view); return true;
            case QEvent::Drop: {
                auto* e = static_cast<QDropEvent*>(event);
                const DROPEFFECT allowed = allowedOf(e->possibleActions());
                const DROPEFFECT done = dropOnView(*target, pointOf(e->position()), effectOf(e->dropAction()), allowed);
                if (done == DROPEFFECT_NONE) {
                    e->ignore();
                } else {
                    e->setDropAction(qtAction(done));
                    e->accept();
                }
                return true;
            }
            default: return false;
        }
    }
};

std::unique_ptr<ViewDropFilter>& viewFilter() {
    static std::unique_ptr<ViewDropFilter> filter;
    return filter;
}

bool hasDisplay() {
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

}  // namespace

DROPEFFECT COleDataSource::DoDragDrop(DWORD effects, const CRect*, void*) {
    if (std::optional<hostui::PlannedDrop> drop = plannedDrop()) {
        plannedDrop().reset();
        return runPlannedDrag(*drop, effects);
    }
    if (!hasDisplay()) return DROPEFFECT_NONE;
    QObject* source = QApplication::widgetAt(QCursor::pos());
    if (!source) source = QApplication::activeWindow();
    if (!source) return DROPEFFECT_NONE;
    auto* drag = new QDrag(source);  // Qt deletes a drag once its loop has ended
    drag->setMimeData(new QMimeData);
    return effectOf(drag->exec(qtActions(effects), Qt::MoveAction)) & effects;
}

BOOL acedStartOverrideDropTarget(COleDropTarget* target) {
    CWnd* view = acedGetAcadDwgView();
    if (!target || !view || !view->widget() || overrideTarget()) return FALSE;
    overrideTarget() = target;
    if (!viewFilter()) viewFilter() = std::make_unique<ViewDropFilter>();
    view->widget()->installEventFilter(viewFilter().get());
    view->widget()->setAcceptDrops(true);
    return TRUE;
}

BOOL acedEndOverrideDropTarget(COleDropTarget* target) {
    if (!target || overrideTarget() != target) return FALSE;
    overrideTarget() = nullptr;
    if (CWnd* view = acedGetAcadDwgView(); view && view->widget()) {
        view->widget()->removeEventFilter(viewFilter().get());
        view->widget()->setAcceptDrops(false);
    }
    return TRUE;
}

namespace hostui {

void planNextDrop(std::optional<PlannedDrop> drop) { plannedDrop() = std::move(drop); }

bool dropIsPlanned() { return plannedDrop().has_value(); }

}  // namespace hostui
