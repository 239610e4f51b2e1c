#pragma once

#include <QPoint>
#include <Qt>

class QWidget;

namespace hostui {

// What a person's mouse sends a control, through the application as the window system's
// own input goes on. A press (and the second press of a double click) first gives the
// focus to the control under the pointer that takes the focus by a click, or to the
// nearest parent that does, as the window system's press does; the events are stamped
// apart so that two clicks never pass for a double click. `at` is in the control's
// pixels; a null point is its centre.

void click(QWidget* target, Qt::MouseButton button = Qt::LeftButton, QPoint at = {});
// Press, release, double click, release: what the window system makes of two quick clicks.
void doubleClick(QWidget* target, QPoint at = {});

}  // namespace hostui
