#include "ui/framework/tooltip.h"

#include <QHelpEvent>
#include <QPointer>
#include <QToolTip>
#include <QVariant>
#include <QWidget>

namespace {

const char* const kTipProperty = "hostui.tooltip";

// The tooltip's own window: it shows the callback tools' tips as the pointer rests.
class TipWindow : public QWidget {
public:
    using QWidget::QWidget;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* tool = qobject_cast<QWidget*>(watched);
        if (!tool || event->type() != QEvent::ToolTip) return false;
        const QString text = hostui::toolTipText(tool);
        if (text.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, tool);
        return true;
    }
};

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD) {
    if (!parent || !parent->widget()) return FALSE;
    if (!widget()) {
        auto* window = new TipWindow(parent->widget());
        window->hide();
        attachWidget(window, true);
    }
    m_owner = parent;
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* control, LPCTSTR text) {
    if (!control || !control->widget()) return FALSE;
    QWidget* tool = control->widget();
    if (text == LPSTR_TEXTCALLBACK) {
        if (!widget()) return FALSE;
        tool->setToolTip(QString());
        tool->setProperty(kTipProperty, QVariant::fromValue(QPointer<QObject>(widget())));
        tool->installEventFilter(widget());
        return TRUE;
    }
    QString tip = QString::fromWCharArray(text ? text : L"");
    tip.replace("\r\n", "\n");
    tool->setToolTip(tip);
    return TRUE;
}

void CToolTipCtrl::Activate(BOOL active) { m_active = active != FALSE; }

int CToolTipCtrl::SetMaxTipWidth(int width) {
    const int previous = m_maxWidth;
    m_maxWidth = width;
    return previous;
}

QString CToolTipCtrl::askText(QWidget* tool) {
    if (!m_active || !m_owner || !widget()) return {};
    NMTTDISPINFO info;
    info.hdr = {widget(), reinterpret_cast<UINT_PTR>(tool), TTN_NEEDTEXT};
    info.uFlags = TTF_IDISHWND;
    m_owner->SendMessage(WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    const wchar_t* text = info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK ? info.lpszText : info.szText;
    return QString::fromWCharArray(text).replace("\r\n", "\n");
}

namespace hostui {

QString toolTipText(QWidget* control) {
    if (!control) return {};
    if (!control->toolTip().isEmpty()) return control->toolTip();
    auto* window = qobject_cast<QWidget*>(control->property(kTipProperty).value<QPointer<QObject>>().data());
    auto* tips = window ? dynamic_cast<CToolTipCtrl*>(CWnd::FromHandle(window)) : nullptr;
    return tips ? tips->askText(control) : QString();
}

}  // namespace hostui
