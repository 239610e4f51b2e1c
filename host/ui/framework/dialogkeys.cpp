#include "ui/framework/dialogkeys.h"

#include "ui/framework/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcutEvent>

namespace hostui {
namespace {

constexpr DWORD kButtonTypeMask = 0xF;

// The window object of the focused control, found from the focused widget upwards (the
// edit inside a drop-down answers for the drop-down).
CWnd* focusedControl(const CAdUiBaseDialog& dialog) {
    for (QWidget* w = QApplication::focusWidget(); w && w != dialog.widget(); w = w->parentWidget())
        if (CWnd* control = CWnd::FromHandle(w)) return control;
    return nullptr;
}

bool isPushButton(const CWnd* control) {
    return control && qobject_cast<QPushButton*>(control->widget()) != nullptr;
}

QPushButton* defaultButton(const CAdUiBaseDialog& dialog) {
    QWidget* window = dialog.widget();
    if (!window) return nullptr;
    QPushButton* byId = nullptr;
    for (auto* button : window->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        const CWnd* control = CWnd::FromHandle(button);
        if (!control) continue;
        if ((control->GetStyle() & kButtonTypeMask) == BS_DEFPUSHBUTTON) return button;
        if (!byId && control->GetDlgCtrlID() == IDOK) byId = button;
    }
    return byId;
}

void pressEnter(CAdUiBaseDialog& dialog, CWnd* focused) {
    if (isPushButton(focused)) {
        if (focused->widget()->isEnabled()) static_cast<QPushButton*>(focused->widget())->click();
        return;
    }
    if (QPushButton* button = defaultButton(dialog)) {
        // A disabled default button makes Enter do nothing, as on the platform.
        if (button->isEnabled()) button->click();
        return;
    }
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// The control after a static text in the template's order that takes the focus.
QWidget* controlAfter(QWidget* label) {
    QWidget* parent = label->parentWidget();
    if (!parent) return nullptr;
    const QObjectList& siblings = parent->children();
    bool past = false;
    for (QObject* sibling : siblings) {
        auto* w = qobject_cast<QWidget*>(sibling);
        if (!w) continue;
        if (w == label) {
            past = true;
            continue;
        }
        if (past && w->isEnabled() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus)) return w;
    }
    return nullptr;
}

void pressMnemonic(QWidget* target, bool ambiguous) {
    if (!target || !target->isEnabled()) return;
    auto* button = qobject_cast<QAbstractButton*>(target);
    if (!button || ambiguous) {
        target->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    if (!qobject_cast<QPushButton*>(button)) button->setFocus(Qt::ShortcutFocusReason);
    button->click();
}

class MnemonicFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        // Only the controls of templates: Qt's own widgets keep Qt's handling.
        if (!widget || !CWnd::FromHandle(widget)) return false;
        const bool ambiguous = static_cast<QShortcutEvent*>(event)->isAmbiguous();
        if (qobject_cast<QAbstractButton*>(widget)) {
            pressMnemonic(widget, ambiguous);
            return true;
        }
        if (qobject_cast<QLabel*>(widget)) {
            pressMnemonic(controlAfter(widget), ambiguous);
            return true;
        }
        return false;
    }
};

}  // namespace

bool handleDialogKey(CAdUiBaseDialog& dialog, const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool escape = key.key() == Qt::Key_Escape;
    if ((!enter && !escape) || modifiers != Qt::NoModifier) return false;
    CWnd* focused = focusedControl(dialog);
    if (focused && (focused->SendMessage(WM_GETDLGCODE, enter ? VK_RETURN : VK_ESCAPE) & DLGC_WANTALLKEYS)) return false;
    if (enter) pressEnter(dialog, focused);
    else dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return true;
}

void watchMnemonics() {
    static QPointer<MnemonicFilter> filter;
    if (filter || !qApp) return;
    // Owned by the application, so it goes with it, and a later application gets its own.
    filter = new MnemonicFilter;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
}

}  // namespace hostui
