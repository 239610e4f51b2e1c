#include "ui/framework/dialog.h"

#include "ui/framework/dialogbuilder.h"
#include "ui/framework/dialogkeys.h"
#include "ui/framework/modal.h"
#include "ui/framework/settings.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

constexpr UINT WM_CLOSE = 0x0010;

std::vector<CAdUiBaseDialog*>& registry() {
    static std::vector<CAdUiBaseDialog*> all;
    return all;
}

// A modal dialog's top-level window: its close box cancels, and the keys its controls
// leave to it (Enter, Escape) work the dialog, as the platform's do.
class ModalWindowWidget : public hostui::WindowWidget {
public:
    using WindowWidget::WindowWidget;

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (CWnd* owner = CWnd::FromHandle(this)) owner->SendMessage(WM_CLOSE);
    }
    void keyPressEvent(QKeyEvent* event) override {
        auto* dialog = dynamic_cast<CAdUiBaseDialog*>(CWnd::FromHandle(this));
        if (dialog && hostui::handleDialogKey(*dialog, *event)) return;
        WindowWidget::keyPressEvent(event);
    }
};

}  // namespace

CAdUiBaseDialog::CAdUiBaseDialog(UINT templateId, CWnd* parent, HINSTANCE)
    : m_templateId(templateId), m_parent(parent) {
    registry().push_back(this);
}

CAdUiBaseDialog::~CAdUiBaseDialog() { std::erase(registry(), this); }

const std::vector<CAdUiBaseDialog*>& CAdUiBaseDialog::liveDialogs() { return registry(); }

bool CAdUiBaseDialog::build(QWidget* widget) {
    const hostres::DialogTemplate* tmpl = hostres::findDialogTemplate(static_cast<int>(m_templateId));
    if (!tmpl) return false;
    const QFont font = hostui::templateFont(tmpl->fontName, tmpl->pointSize);
    const hostui::DialogUnits units = hostui::dialogUnits(font);
    m_templateFont.set(font);
    attachWidget(widget, true);
    setStyleBits(tmpl->style);
    widget->setFont(font);
    widget->setWindowTitle(QString::fromWCharArray(tmpl->title ? tmpl->title : L""));
    widget->resize(units.x(tmpl->cx), units.y(tmpl->cy));
    widget->setObjectName(QString("dialog%1").arg(m_templateId));
    if (!sendCreate(tmpl->title)) {
        DestroyWindow();
        return false;
    }
    hostui::buildControls(*tmpl, widget, units, m_controls);
    for (const auto& control : m_controls) control->SetFont(&m_templateFont, FALSE);
    return true;
}

BOOL CAdUiBaseDialog::Create(UINT templateId, CWnd* parent) {
    m_templateId = templateId;
    m_parent = parent;
    auto* widget = new hostui::WindowWidget(this, parent ? parent->widget() : nullptr);
    if (!build(widget)) return FALSE;
    OnInitDialog();
    if (GetStyle() & WS_VISIBLE) widget->show();
    return TRUE;
}

INT_PTR CAdUiBaseDialog::DoModal() {
    hostui::watchMnemonics();
    auto* widget = new ModalWindowWidget(this, hostui::modalParent());
    widget->setWindowModality(Qt::ApplicationModal);
    if (!build(widget)) return -1;
    // A template without a caption makes a bare popup.
    widget->setWindowFlags((GetStyle() & WS_CAPTION) == WS_CAPTION
                               ? Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                               : Qt::Dialog | Qt::FramelessWindowHint);
    m_ended = false;
    m_result = IDCANCEL;
    OnInitDialog();
    widget->show();
    m_modalRunning = true;
    if (!m_ended) hostui::modalDriver().runDialog(*this);
    m_modalRunning = false;
    savePosition();
    DestroyWindow();
    m_controls.clear();
    return m_result;
}

void CAdUiBaseDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (widget() && m_modalRunning) widget()->hide();
    if (m_endListener) m_endListener();
}

BOOL CAdUiBaseDialog::OnInitDialog() {
    restorePosition();
    // The controls start out showing the members, as the platform's dialogs do.
    UpdateData(FALSE);
    return TRUE;
}

void CAdUiBaseDialog::OnOK() { EndDialog(IDOK); }
void CAdUiBaseDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CAdUiBaseDialog::OnAcadKeepFocus(WPARAM, LPARAM) { return FALSE; }

LRESULT CAdUiBaseDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACAD_KEEPFOCUS) return OnAcadKeepFocus(wParam, lParam);
    if (message == WM_CLOSE) {
        OnCancel();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CAdUiBaseDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        default: return FALSE;
    }
}

void CAdUiBaseDialog::restorePosition() {
    QWidget* w = widget();
    if (!w || !w->isWindow() || m_dialogName.empty()) return;
    const QVariant saved = hostui::setting("dialogs/" + QString::fromStdWString(m_dialogName));
    if (!saved.isValid()) return;
    const QPoint at = saved.toPoint();
    // A position saved on a screen that is gone is not restored off-screen.
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (screen || QGuiApplication::platformName() == "offscreen") w->move(at);
}

void CAdUiBaseDialog::savePosition() {
    QWidget* w = widget();
    if (!w || !w->isWindow() || m_dialogName.empty()) return;
    hostui::setSetting("dialogs/" + QString::fromStdWString(m_dialogName), w->pos());
}
