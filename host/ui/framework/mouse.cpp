#include "ui/framework/mouse.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>
#include <QWidget>

namespace hostui {

namespace {

// The window system's clock for the events made here: each press starts later than a
// double click could last.
quint64 g_clock = 0;

bool takesClickFocus(const QWidget* w) {
    const QWidget* proxy = w->focusProxy() ? w->focusProxy() : w;
    return (w->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus &&
           (proxy->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus;
}

// From the control up to its window: the first enabled one under the pointer that takes
// the focus by a click gets it; a control that already has it keeps it.
void giveFocusOnPress(QWidget* target, QPoint at) {
    for (QWidget* w = target; w; w = w->parentWidget()) {
        if (w->isEnabled() && w->rect().contains(at) && takesClickFocus(w)) {
            w->setFocus(Qt::MouseFocusReason);
            return;
        }
        const QWidget* focused = w->focusProxy() ? w->focusProxy() : w;
        if (w->isWindow() || focused->hasFocus()) return;
        at += w->pos();
    }
}

void send(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointer<QWidget> alive(target);
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) giveFocusOnPress(target, at);
    // Losing the focus may have closed the control's window.
    if (!alive) return;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    event.setTimestamp(++g_clock);
    QApplication::sendEvent(target, &event);
}

QPoint pointIn(const QWidget* target, QPoint at) { return at.isNull() ? target->rect().center() : at; }

}  // namespace

void click(QWidget* target, Qt::MouseButton button, QPoint at) {
    if (!target) return;
    at = pointIn(target, at);
    g_clock += static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval()) + 1;
    const QPointer<QWidget> alive(target);
    send(target, QEvent::MouseButtonPress, at, button, button);
    if (alive) send(target, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

void doubleClick(QWidget* target, QPoint at) {
    if (!target) return;
    at = pointIn(target, at);
    click(target, Qt::LeftButton, at);
    const QPointer<QWidget> alive(target);
    if (alive) send(target, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    if (alive) send(target, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

}  // namespace hostui
