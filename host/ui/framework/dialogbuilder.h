#pragma once

#include "ap/resources.h"
#include "ui/framework/wnd.h"

#include <QFont>

#include <memory>
#include <vector>

namespace hostui {

// The font a template names, made the same on every machine: the named face when the
// host has it (Tahoma comes from Wine's font package), else one fixed fallback face.
// Sized in pixels from the points at 96 dots per inch, as dialog templates are.
QFont templateFont(const wchar_t* face, int points);

// Dialog units of a template's font: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height.
struct DialogUnits {
    int baseX = 6, baseY = 13;
    int x(int units) const { return (units * baseX + 2) / 4; }
    int y(int units) const { return (units * baseY + 4) / 8; }
};
DialogUnits dialogUnits(const QFont& font);

// Makes the controls of a template as children of parent, in template order (which is
// the tab order), each bound to a default window object kept in controls. Control
// notifications (button clicks, edit changes) reach the parent's window as WM_COMMAND
// and WM_NOTIFY messages.
void buildControls(const hostres::DialogTemplate& tmpl, QWidget* parent, const DialogUnits& units,
                   std::vector<std::unique_ptr<CWnd>>& controls);

}  // namespace hostui
