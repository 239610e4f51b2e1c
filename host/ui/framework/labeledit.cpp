#include "ui/framework/labeledit.h"

#include "ui/framework/keymessages.h"
#include "ui/framework/listview.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

namespace hostui {

LabelEditWidget::LabelEditWidget(ListViewWidget* list) : QLineEdit(list), m_list(list), m_window(std::make_unique<CEdit>()) {
    m_window->attachWidget(this, false);
    // A thin border and no padding, so that the text sits where the label's text was.
    setStyleSheet("QLineEdit { border: 1px solid palette(shadow); padding: 0px 1px; margin: 0px; }");
    setFont(list->font());
}

LabelEditWidget::~LabelEditWidget() { m_window.reset(); }

bool LabelEditWidget::event(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QLineEdit::event(event);
    auto* key = static_cast<QKeyEvent*>(event);
    CWnd* owner = CWnd::FromHandle(this);
    if (!owner) return QLineEdit::event(event);
    const UINT vk = virtualKeyOf(*key);
    QPointer<LabelEditWidget> alive(this);
    const HeldKeys held(key->modifiers());
    if (vk == VK_TAB && !(owner->SendMessage(WM_GETDLGCODE, vk) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
        return alive ? QLineEdit::event(event) : true;
    if (!alive) return true;
    m_key = key;
    owner->SendMessage(WM_KEYDOWN, vk, MAKELPARAM(1, 0));
    if (alive) m_key = nullptr;
    return true;
}

LRESULT LabelEditWidget::defaultMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (message != WM_KEYDOWN) return 0;
    if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        m_list->endLabelEdit(wParam == VK_RETURN);
        return 0;
    }
    if (m_key) {
        QLineEdit::keyPressEvent(m_key);
    } else if (const Qt::Key key = qtKeyOf(wParam); key != Qt::Key_unknown) {
        QKeyEvent synthetic(QEvent::KeyPress, key, Qt::NoModifier);
        QLineEdit::keyPressEvent(&synthetic);
    }
    return 0;
}

void LabelEditWidget::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A popup borrows the focus without taking it.
    if (event->reason() != Qt::PopupFocusReason) m_list->endLabelEdit(true, this);
}

}  // namespace hostui
