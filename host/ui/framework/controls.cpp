#include "ui/framework/controls.h"

#include "ed/adscodes.h"
#include "ed/unitformat.h"
#include "rx/numbertext.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <charconv>
#include <cmath>
#include <iterator>

namespace hostui {

// --- the tab strip ---

// The pages lie over the tab control's panel, whenever they were made: it stays beneath them.
TabControlWidget::TabControlWidget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    lower();
}

void TabControlWidget::setTabsOnRight(bool right) {
    m_right = right;
    update();
}

int TabControlWidget::insertItem(int index, const QString& text) {
    index = std::clamp(index, 0, count());
    m_items.insert(m_items.begin() + index, text);
    if (m_current < 0) m_current = 0;
    else if (index <= m_current && count() > 1) ++m_current;
    update();
    return index;
}

void TabControlWidget::removeAll() {
    m_items.clear();
    m_current = m_focusMark = -1;
    update();
}

QString TabControlWidget::itemText(int index) const {
    return index >= 0 && index < count() ? m_items[static_cast<std::size_t>(index)] : QString();
}

void TabControlWidget::setCurrent(int index) {
    if (index < 0 || index >= count()) return;
    m_current = index;
    update();
}

void TabControlWidget::setFocusMark(int index) {
    m_focusMark = index;
    update();
}

QRect TabControlWidget::tabRect(int index) const {
    if (index < 0 || index >= count()) return {};
    const QFontMetrics fm(font());
    int y = 2;
    for (int i = 0; i < index; ++i) y += fm.horizontalAdvance(m_items[static_cast<std::size_t>(i)]) + 12;
    const int h = fm.horizontalAdvance(m_items[static_cast<std::size_t>(index)]) + 12;
    const int x = m_right ? width() - stripWidth : 0;
    return {x, y, stripWidth, h};
}

int TabControlWidget::tabAt(QPoint p) const {
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).contains(p)) return i;
    return -1;
}

void TabControlWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette pal = palette();
    const QRect panel = m_right ? QRect(0, 0, width() - stripWidth, height()) : QRect(stripWidth, 0, width() - stripWidth, height());
    painter.fillRect(rect(), pal.window());
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawRect(panel.adjusted(0, 0, -1, -1));
    for (int i = 0; i < count(); ++i) {
        const QRect r = tabRect(i);
        const bool selected = i == m_current;
        painter.fillRect(r, selected ? pal.base() : pal.button());
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.save();
        painter.translate(r.center());
        painter.rotate(m_right ? 90 : -90);
        painter.setPen(pal.color(QPalette::ButtonText));
        const QRect text(-r.height() / 2, -r.width() / 2, r.height(), r.width());
        painter.drawText(text, Qt::AlignCenter, m_items[static_cast<std::size_t>(i)]);
        if (i == m_focusMark && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.rect = text.adjusted(2, 2, -2, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
        painter.restore();
    }
}

void TabControlWidget::notifyParent(UINT code) {
    CWnd* self = CWnd::FromHandle(this);
    CWnd* parent = self ? self->GetParent() : nullptr;
    if (!parent) return;
    NMHDR header{this, static_cast<UINT_PTR>(self->GetDlgCtrlID()), code};
    parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(self->GetDlgCtrlID()), reinterpret_cast<LPARAM>(&header));
}

void TabControlWidget::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton ? tabAt(event->position().toPoint()) : -1;
    if (m_pressed < 0) return;
    QPointer<TabControlWidget> alive(this);
    if (m_pressed != m_current) {
        notifyParent(TCN_SELCHANGING);
        if (!alive) return;
        m_current = m_focusMark = m_pressed;
        update();
        notifyParent(TCN_SELCHANGE);
    }
}

void TabControlWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pressed >= 0 && tabAt(event->position().toPoint()) == m_pressed)
        notifyParent(NM_CLICK);
    m_pressed = -1;
}

}  // namespace hostui

// --- CTabCtrl ---

hostui::TabControlWidget* CTabCtrl::tabs() const { return dynamic_cast<hostui::TabControlWidget*>(widget()); }

int CTabCtrl::InsertItem(int index, LPCTSTR text) {
    auto* t = tabs();
    return t ? t->insertItem(index, QString::fromWCharArray(text ? text : L"")) : -1;
}

BOOL CTabCtrl::DeleteAllItems() {
    if (auto* t = tabs()) t->removeAll();
    return TRUE;
}

int CTabCtrl::GetItemCount() const { return tabs() ? tabs()->count() : 0; }

int CTabCtrl::GetCurSel() const { return tabs() ? tabs()->current() : -1; }

int CTabCtrl::SetCurSel(int index) {
    auto* t = tabs();
    if (!t || index < 0 || index >= t->count()) return -1;
    const int previous = t->current();
    t->setCurrent(index);
    return previous;
}

void CTabCtrl::SetCurFocus(int index) {
    if (auto* t = tabs()) {
        t->setCurrent(index);
        t->setFocusMark(index);
    }
}

std::wstring CTabCtrl::itemText(int index) const { return tabs() ? tabs()->itemText(index).toStdWString() : L""; }

void CTabCtrl::styleChanged() {
    if (auto* t = tabs()) t->setTabsOnRight((GetStyle() & TCS_RIGHT) != 0);
}

// --- buttons and edits ---

int CButton::GetCheck() const {
    auto* b = dynamic_cast<QAbstractButton*>(widget());
    return b && b->isChecked() ? 1 : 0;
}

void CButton::SetCheck(int check) {
    if (auto* b = dynamic_cast<QAbstractButton*>(widget())) b->setChecked(check != 0);
}

void CEdit::SetSel(int start, int end) {
    auto* e = dynamic_cast<QLineEdit*>(widget());
    if (!e) return;
    if (start == 0 && end == -1) e->selectAll();
    else e->setSelection(start, std::max(0, end - start));
}

void CEdit::LimitText(int chars) {
    if (auto* e = dynamic_cast<QLineEdit*>(widget())) e->setMaxLength(chars > 0 ? chars : 32767);
}

// Qt shows its placeholder while the edit is empty, focused or not.
BOOL CEdit::SetCueBanner(LPCTSTR text, BOOL) {
    auto* e = dynamic_cast<QLineEdit*>(widget());
    if (!e) return FALSE;
    e->setPlaceholderText(QString::fromWCharArray(text ? text : L""));
    return TRUE;
}

void CAcUiNumericEdit::SetRange(double low, double high) {
    m_low = low;
    m_high = high;
}

BOOL CAcUiNumericEdit::GetValue(double& value) const { return read(windowText(), value) ? TRUE : FALSE; }

void CAcUiNumericEdit::SetValue(double value) {
    std::wstring text;
    if (write(value, text)) SetWindowText(text.c_str());
}

bool CAcUiNumericEdit::read(const std::wstring& text, double& value) const {
    return acdbDisToF(text.c_str(), -1, &value) == RTNORM;
}

bool CAcUiNumericEdit::write(double value, std::wstring& text) const {
    ACHAR buffer[64] = {};
    if (acdbRToS(value, -1, -1, buffer, std::size(buffer)) != RTNORM) return false;
    text = buffer;
    return true;
}

bool CAcUiAngleEdit::read(const std::wstring& text, double& value) const {
    return acdbAngToF(text.c_str(), -1, &value) == RTNORM;
}

bool CAcUiAngleEdit::write(double value, std::wstring& text) const {
    ACHAR buffer[64] = {};
    if (acdbAngToS(value, -1, -1, buffer, std::size(buffer)) != RTNORM) return false;
    text = buffer;
    return true;
}

// What was typed is read as the drawing's units read it and written back in their form;
// text that is no value (or out of range) stays as typed for its owner to judge.
BOOL CAcUiNumericEdit::Convert() {
    auto* e = dynamic_cast<QLineEdit*>(widget());
    if (!e) return FALSE;
    double value = 0;
    std::wstring text;
    if (!read(e->text().toStdWString(), value) || (m_low && value < *m_low) || (m_high && value > *m_high))
        return FALSE;
    if (!rewrites()) return TRUE;
    if (!write(value, text)) return FALSE;
    if (e->text().toStdWString() != text) e->setText(QString::fromStdWString(text));
    return TRUE;
}

void CAcUiNumericEdit::attached() {
    // Bound to its control: normalise whenever editing ends.
    if (auto* e = dynamic_cast<QLineEdit*>(widget())) {
        QObject::connect(e, &QLineEdit::editingFinished, e, [e] {
            if (auto* self = dynamic_cast<CAcUiNumericEdit*>(CWnd::FromHandle(e))) self->Convert();
        });
    }
}

long SetWindowTheme(HWND, const wchar_t*, const wchar_t*) { return 0; }
