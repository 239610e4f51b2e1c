#include "ui/framework/wnd.h"

#include "ui/framework/dataexchange.h"
#include "ui/framework/keymessages.h"

#include <QApplication>
#include <QStyle>
#include <QDockWidget>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <cwchar>
#include <limits>
#include <map>

namespace {

const char* const kOwnerProperty = "hostui.cwnd";
const char* const kIdProperty = "hostui.ctrlid";

LPARAM pointParam(const QPointF& p) { return MAKELPARAM(static_cast<int>(p.x()), static_cast<int>(p.y())); }

CPoint pointOf(LPARAM l) {
    return {static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(l))),
            static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(l)))};
}

}  // namespace

// --- CFont ---

BOOL CFont::CreateFontIndirect(const LOGFONT* font) {
    if (!font) return FALSE;
    QFont f(QString::fromWCharArray(font->lfFaceName));
    if (font->lfHeight != 0) f.setPixelSize(std::abs(font->lfHeight));
    f.setWeight(font->lfWeight >= 700 ? QFont::Bold : QFont::Normal);
    f.setItalic(font->lfItalic);
    f.setUnderline(font->lfUnderline);
    m_font = std::make_unique<QFont>(f);
    return TRUE;
}

BOOL CFont::GetLogFont(LOGFONT* font) const {
    if (!font || !m_font) return FALSE;
    *font = LOGFONT{};
    font->lfHeight = -m_font->pixelSize();
    font->lfWeight = m_font->bold() ? 700 : 400;
    font->lfItalic = m_font->italic();
    font->lfUnderline = m_font->underline();
    const std::wstring face = m_font->family().toStdWString();
    std::wcsncpy(font->lfFaceName, face.c_str(), std::size(font->lfFaceName) - 1);
    return TRUE;
}

BOOL CFont::DeleteObject() {
    const bool had = static_cast<bool>(m_font);
    m_font.reset();
    return had ? TRUE : FALSE;
}

// --- WindowWidget ---

namespace hostui {

WindowWidget::WindowWidget(CWnd* owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
    setMouseTracking(true);
}

WindowWidget::~WindowWidget() = default;

void WindowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_owner)
        m_owner->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(event->size().width(), event->size().height()));
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    if (!m_owner) return;
    const WPARAM keys = keyState(event->buttons(), event->modifiers());
    if (event->button() == Qt::LeftButton) m_owner->SendMessage(WM_LBUTTONDOWN, keys, pointParam(event->position()));
    else if (event->button() == Qt::RightButton) m_owner->SendMessage(WM_RBUTTONDOWN, keys, pointParam(event->position()));
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_owner) return;
    const WPARAM keys = keyState(event->buttons(), event->modifiers());
    if (event->button() == Qt::LeftButton) m_owner->SendMessage(WM_LBUTTONUP, keys, pointParam(event->position()));
    else if (event->button() == Qt::RightButton) m_owner->SendMessage(WM_RBUTTONUP, keys, pointParam(event->position()));
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!m_owner || event->button() != Qt::LeftButton) return;
    m_owner->SendMessage(WM_LBUTTONDBLCLK, keyState(event->buttons(), event->modifiers()), pointParam(event->position()));
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!m_owner) return;
    MSG msg{this, WM_MOUSEMOVE, keyState(event->buttons(), event->modifiers()), pointParam(event->position())};
    if (m_owner->PreTranslateMessage(&msg)) return;
    m_owner->SendMessage(msg.message, msg.wParam, msg.lParam);
}

namespace {
PaintRequest*& innermostPaint() {
    static PaintRequest* current = nullptr;
    return current;
}
}  // namespace

PaintRequest::PaintRequest(QWidget* widget) : m_widget(widget), m_outer(innermostPaint()) { innermostPaint() = this; }

PaintRequest::~PaintRequest() { innermostPaint() = m_outer; }

void PaintRequest::send() {
    if (CWnd* owner = CWnd::FromHandle(m_widget)) owner->SendMessage(WM_PAINT);
    else m_defaultWanted = true;
}

PaintRequest* PaintRequest::of(const QWidget* widget) {
    for (PaintRequest* p = innermostPaint(); p; p = p->m_outer)
        if (p->m_widget == widget) return p;
    return nullptr;
}

// The timers of one window, children of its widget so that they go with it.
class WindowTimers : public QObject {
public:
    static constexpr const char* objectName = "hostui.timers";

    explicit WindowTimers(QWidget* window) : QObject(window), m_window(window) { setObjectName(objectName); }

    static WindowTimers* of(QWidget* window, bool make) {
        if (!window) return nullptr;
        auto* timers = window->findChild<WindowTimers*>(objectName, Qt::FindDirectChildrenOnly);
        return timers || !make ? timers : new WindowTimers(window);
    }

    void start(UINT_PTR id, UINT elapse) {
        QTimer*& timer = m_timers[id];
        if (!timer) {
            timer = new QTimer(this);
            // The platform's timers are not rounded to the coarse timer's slack of 5 %,
            // which a window waiting out one period would pay each time.
            timer->setTimerType(Qt::PreciseTimer);
            QPointer<QWidget> window = m_window;
            connect(timer, &QTimer::timeout, this, [window, id] {
                if (CWnd* owner = CWnd::FromHandle(window.data())) owner->SendMessage(WM_TIMER, id);
            });
        }
        timer->start(static_cast<int>(std::min<UINT>(elapse, std::numeric_limits<int>::max())));
    }

    bool stop(UINT_PTR id) {
        const auto it = m_timers.find(id);
        if (it == m_timers.end() || !it->second->isActive()) return false;
        it->second->stop();
        return true;
    }

    bool anyRunning() const {
        return std::any_of(m_timers.begin(), m_timers.end(), [](const auto& t) { return t.second->isActive(); });
    }

private:
    QWidget* m_window;
    std::map<UINT_PTR, QTimer*> m_timers;
};

}  // namespace hostui

// --- CWnd ---

CWnd::CWnd() = default;

CWnd::~CWnd() {
    QWidget* w = m_widget.data();
    if (!w) return;
    if (auto* ww = dynamic_cast<hostui::WindowWidget*>(w)) ww->release();
    giveBackWindow();
    if (m_owned) delete w;
}

// The window goes back to the object that stood for it before this one, or to none.
void CWnd::giveBackWindow() {
    QWidget* w = m_widget.data();
    if (w && CWnd::FromHandle(w) == this)
        w->setProperty(kOwnerProperty, m_previousOwner ? QVariant::fromValue(static_cast<void*>(m_previousOwner)) : QVariant());
    m_previousOwner = nullptr;
}

CWnd* CWnd::FromHandle(HWND widget) {
    if (!widget) return nullptr;
    return static_cast<CWnd*>(widget->property(kOwnerProperty).value<void*>());
}

void CWnd::attachWidget(QWidget* widget, bool owned) {
    m_widget = widget;
    m_owned = owned;
    if (widget) widget->setProperty(kOwnerProperty, QVariant::fromValue(static_cast<void*>(this)));
}

void CWnd::setControlId(int id) {
    if (m_widget) m_widget->setProperty(kIdProperty, id);
}

bool CWnd::sendCreate(LPCTSTR name) {
    CREATESTRUCT cs;
    if (m_widget) {
        cs.x = m_widget->x();
        cs.y = m_widget->y();
        cs.cx = m_widget->width();
        cs.cy = m_widget->height();
    }
    cs.lpszName = name;
    return SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) != -1;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_widget) return FALSE;
    QPointer<QWidget> target = m_widget;
    QTimer::singleShot(0, m_widget.data(), [target, message, wParam, lParam] {
        if (CWnd* wnd = CWnd::FromHandle(target.data())) wnd->SendMessage(message, wParam, lParam);
    });
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_SIZE:
            OnSize(static_cast<UINT>(wParam), static_cast<int>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                   static_cast<int>(HIWORD(static_cast<std::uintptr_t>(lParam))));
            return 0;
        case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), pointOf(lParam)); return 0;
        case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wParam), pointOf(lParam)); return 0;
        case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), pointOf(lParam)); return 0;
        case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return 0;
        case WM_PAINT: OnPaint(); return 0;
        case WM_NOTIFY: {
            LRESULT result = 0;
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            CWnd* child = header ? FromHandle(header->hwndFrom) : nullptr;
            if (child && child != this && child->OnChildNotify(message, wParam, lParam, &result)) return result;
            result = 0;
            return OnNotify(wParam, lParam, &result) ? result : DefWindowProc(message, wParam, lParam);
        }
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                      HIWORD(static_cast<std::uintptr_t>(lParam)));
            return 0;
        case WM_GETDLGCODE: return static_cast<LRESULT>(OnGetDlgCode());
        case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
        case WM_COMMAND: return OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
        default: return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* control = dynamic_cast<hostui::DefaultHandling*>(m_widget.data()))
        return control->defaultMessage(message, wParam, lParam);
    return 0;
}

int CWnd::OnCreate(LPCREATESTRUCT) { return 0; }
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
void CWnd::OnTimer(UINT_PTR) {}

void CWnd::OnPaint() {
    if (hostui::PaintRequest* paint = hostui::PaintRequest::of(m_widget.data())) paint->wantDefault();
}
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }
void CWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { DefWindowProc(WM_KEYDOWN, nChar, MAKELPARAM(static_cast<int>(nRepCnt), static_cast<int>(nFlags))); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(DefWindowProc(WM_GETDLGCODE, 0, 0)); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) {}

// The platform tells a window its size whenever it is placed, changed or not; Qt only
// on a change. Windows that lay out their children on WM_SIZE rely on the former.
void CWnd::resizeTo(int width, int height) {
    const QSize size(std::max(0, width), std::max(0, height));
    const bool changed = m_widget->size() != size;
    m_widget->resize(size);
    // Qt holds a hidden widget's resize event back until it is shown.
    if (!changed || !m_widget->isVisible()) SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.width(), size.height()));
}

// The window asks itself first, and may take another place.
void CWnd::place(int x, int y, int cx, int cy, UINT flags) {
    WINDOWPOS pos{m_widget.data(), nullptr, x, y, cx, cy, flags};
    SendMessage(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!m_widget) return;
    if (!(pos.flags & SWP_NOMOVE)) m_widget->move(pos.x, pos.y);
    if (!(pos.flags & SWP_NOSIZE)) resizeTo(pos.cx, pos.cy);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    if (!m_widget) return;
    place(x, y, width, height, SWP_NOZORDER);
    if (repaint && m_widget) m_widget->update();
}

void CWnd::MoveWindow(const CRect& rect, BOOL repaint) { MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint); }

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    if (!m_widget) return FALSE;
    place(x, y, cx, cy, flags);
    if (!m_widget) return FALSE;
    if (!(flags & SWP_NOZORDER) && insertAfter == nullptr) m_widget->raise();
    if (flags & SWP_SHOWWINDOW) m_widget->show();
    if (!(flags & SWP_NOREDRAW)) m_widget->update();
    return TRUE;
}

void CWnd::GetWindowRect(CRect* rect) const {
    if (!rect) return;
    if (!m_widget) {
        *rect = CRect();
        return;
    }
    // A bar's window reports the outer size of its dock, title included, as the
    // platform's bar window does.
    const QWidget* outer = qobject_cast<QDockWidget*>(m_widget->parentWidget()) ? m_widget->parentWidget() : m_widget.data();
    const QPoint topLeft = outer->mapToGlobal(QPoint(0, 0));
    const QSize size = outer->isWindow() ? outer->frameGeometry().size() : outer->size();
    *rect = CRect(topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height());
}

void CWnd::GetClientRect(CRect* rect) const {
    if (!rect) return;
    *rect = m_widget ? CRect(0, 0, m_widget->width(), m_widget->height()) : CRect();
}

BOOL CWnd::ShowWindow(int command) {
    if (!m_widget) return FALSE;
    const bool was = m_widget->isVisible();
    m_widget->setVisible(command != SW_HIDE);
    return was ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const { return m_widget && m_widget->isVisible() ? TRUE : FALSE; }

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!m_widget) return FALSE;
    const bool was = !m_widget->isEnabled();
    m_widget->setEnabled(enable != FALSE);
    return was ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const { return m_widget && m_widget->isEnabled() ? TRUE : FALSE; }

void CWnd::Invalidate(BOOL) {
    if (m_widget) m_widget->update();
}

void CWnd::UpdateWindow() {
    if (m_widget) m_widget->repaint();
}

// Qt keeps no pending paint region a window could take back: a paint that has begun
// is drawn whole, so there is nothing left to mark.
BOOL CWnd::ValidateRect(const RECT*) { return m_widget ? TRUE : FALSE; }

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*) {
    hostui::WindowTimers* timers = hostui::WindowTimers::of(m_widget.data(), true);
    if (!timers) return 0;
    timers->start(id, elapse);
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    hostui::WindowTimers* timers = hostui::WindowTimers::of(m_widget.data(), false);
    return timers && timers->stop(id) ? TRUE : FALSE;
}

bool CWnd::hasRunningTimers() const {
    const hostui::WindowTimers* timers = hostui::WindowTimers::of(m_widget.data(), false);
    return timers && timers->anyRunning();
}

void CWnd::ClientToScreen(CPoint* point) const {
    if (!point || !m_widget) return;
    const QPoint p = m_widget->mapToGlobal(QPoint(point->x, point->y));
    *point = {p.x(), p.y()};
}

void CWnd::ScreenToClient(CPoint* point) const {
    if (!point || !m_widget) return;
    const QPoint p = m_widget->mapFromGlobal(QPoint(point->x, point->y));
    *point = {p.x(), p.y()};
}

void CWnd::ScreenToClient(CRect* rect) const {
    if (!rect) return;
    CPoint topLeft{rect->left, rect->top}, bottomRight{rect->right, rect->bottom};
    ScreenToClient(&topLeft);
    ScreenToClient(&bottomRight);
    *rect = CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

CWnd* CWnd::SetFocus() {
    CWnd* previous = FromHandle(QApplication::focusWidget());
    if (m_widget) m_widget->setFocus(Qt::OtherFocusReason);
    return previous;
}

BOOL CWnd::DestroyWindow() {
    if (!m_widget) return FALSE;
    SendMessage(WM_DESTROY);
    QWidget* w = m_widget.data();
    if (auto* ww = dynamic_cast<hostui::WindowWidget*>(w)) ww->release();
    m_widget = nullptr;
    delete w;
    return TRUE;
}

CWnd* CWnd::GetParent() const {
    for (QWidget* p = m_widget ? m_widget->parentWidget() : nullptr; p; p = p->parentWidget())
        if (CWnd* wnd = FromHandle(p)) return wnd;
    return nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
    if (!m_widget) return nullptr;
    for (QWidget* child : m_widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant v = child->property(kIdProperty);
        if (v.isValid() && v.toInt() == id) return FromHandle(child);
    }
    return nullptr;
}

int CWnd::GetDlgCtrlID() const {
    const QVariant v = m_widget ? m_widget->property(kIdProperty) : QVariant();
    return v.isValid() ? v.toInt() : 0;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    CWnd* existing = parent ? parent->GetDlgItem(static_cast<int>(id)) : nullptr;
    if (!existing || existing == this) return existing ? TRUE : FALSE;
    m_style = existing->GetStyle();
    m_font = existing->GetFont();
    attachWidget(existing->widget(), false);
    styleChanged();
    attached();
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!window || m_widget) return FALSE;
    CWnd* previous = FromHandle(window);
    if (previous) {
        m_style = previous->GetStyle();
        m_font = previous->GetFont();
    }
    attachWidget(window, false);
    m_previousOwner = previous;
    styleChanged();
    attached();
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    QWidget* w = m_widget.data();
    giveBackWindow();
    m_widget = nullptr;
    m_owned = false;
    return w;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

int GetSystemMetrics(int index) {
    if (index == SM_CXVSCROLL) return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return 0;
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
    m_font = font;
    if (m_widget && font && font->font()) m_widget->setFont(*font->font());
    fontChanged();
    if (redraw && m_widget) m_widget->update();
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
    const DWORD before = m_style;
    m_style = (m_style & ~remove) | add;
    if (m_style != before) styleChanged();
    return m_style != before ? TRUE : FALSE;
}

void CWnd::SetWindowText(LPCTSTR text) {
    if (!m_widget) return;
    const QString t = QString::fromWCharArray(text ? text : L"");
    if (!m_widget->setProperty("text", t)) m_widget->setWindowTitle(t);
}

std::wstring CWnd::windowText() const {
    if (!m_widget) return {};
    const QVariant v = m_widget->property("text");
    return (v.isValid() ? v.toString() : m_widget->windowTitle()).toStdWString();
}
