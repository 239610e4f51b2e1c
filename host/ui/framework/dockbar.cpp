#include "ui/framework/dockbar.h"

#include "ui/framework/frame.h"
#include "ui/framework/settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace {

// The bar's title: its name and the close control. A press and a double-click go to the
// bar's window, so the bar decides what they mean. Dragging the title floats the bar
// and moves it; letting go near the main window's left or right edge docks it there.
class BarTitle : public QWidget {
public:
    BarTitle(const QString& title, QDockWidget* dock, CAdUiDockControlBar* bar) : QWidget(dock), m_dock(dock), m_bar(bar) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(3, 1, 1, 1);
        row->setSpacing(2);
        auto* label = new QLabel(title, this);
        label->setMinimumWidth(0);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        auto* close = new QToolButton(this);
        close->setObjectName("close");
        close->setText(QString::fromUtf8("\u00D7"));
        close->setAutoRaise(true);
        close->setFixedSize(16, 16);
        row->addWidget(label, 1);
        row->addWidget(close);
        QObject::connect(close, &QToolButton::clicked, dock, &QDockWidget::close);
        setMinimumWidth(0);
    }
    QSize minimumSizeHint() const override { return {0, 18}; }
    QSize sizeHint() const override { return {60, 18}; }
    void release() { m_bar = nullptr; }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        m_pressGlobal = event->globalPosition().toPoint();
        m_grab = event->position().toPoint();
        m_moving = false;
        if (CWnd* bar = barWindow()) bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) || !m_bar) return;
        const QPoint at = event->globalPosition().toPoint();
        if (!m_moving && (at - m_pressGlobal).manhattanLength() < QApplication::startDragDistance()) return;
        if (!m_moving) {
            m_moving = true;
            m_bar->setFloatingBar(true);
        }
        m_dock->move(at - m_grab);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton || !m_moving || !m_bar) return;
        m_moving = false;
        auto* main = qobject_cast<QMainWindow*>(m_dock->parentWidget());
        if (!main) return;
        const QPoint at = main->mapFromGlobal(event->globalPosition().toPoint());
        constexpr int edge = 48;
        if (at.x() < edge) m_bar->placeAt(Qt::LeftDockWidgetArea);
        else if (at.x() > main->width() - edge) m_bar->placeAt(Qt::RightDockWidgetArea);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (CWnd* bar = barWindow(); bar && event->button() == Qt::LeftButton)
            bar->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    }

private:
    CWnd* barWindow() const { return m_bar ? CWnd::FromHandle(m_dock->widget()) : nullptr; }
    QDockWidget* m_dock;
    CAdUiDockControlBar* m_bar;
    QPoint m_pressGlobal, m_grab;
    bool m_moving = false;
};

// The bar's window: a resize tells the bar SizeChanged before WM_SIZE reaches it.
class BarWindow : public hostui::WindowWidget {
public:
    BarWindow(CAdUiDockControlBar* bar, QWidget* parent) : WindowWidget(bar, parent), m_bar(bar) {}
    QSize minimumSizeHint() const override { return {0, 0}; }
    QSize sizeHint() const override { return m_created; }
    void setCreatedSize(QSize size) { m_created = size; }
    void release() {
        m_bar = nullptr;
        WindowWidget::release();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        if (m_bar) {
            CRect rect(0, 0, event->size().width(), event->size().height());
            m_bar->SizeChanged(&rect, m_bar->IsFloating(), 0);
        }
        WindowWidget::resizeEvent(event);
    }

private:
    CAdUiDockControlBar* m_bar;
    QSize m_created{100, 100};
};

}  // namespace

CAdUiDockControlBar::CAdUiDockControlBar() = default;

CAdUiDockControlBar::~CAdUiDockControlBar() {
    if (CFrameWnd* frame = acedGetAcadFrame()) frame->removeBar(this);
    if (auto* w = dynamic_cast<BarWindow*>(widget())) w->release();
    if (auto* title = m_dock ? dynamic_cast<BarTitle*>(m_dock->titleBarWidget()) : nullptr) title->release();
    if (m_dock) {
        saveState();
        delete m_dock.data();
    }
}

BOOL CAdUiDockControlBar::Create(LPCTSTR, LPCTSTR title, DWORD style, const RECT& rect, CWnd* parent, UINT) {
    auto* main = parent ? qobject_cast<QMainWindow*>(parent->widget()) : nullptr;
    if (!main || m_dock) return FALSE;
    const QString name = QString::fromWCharArray(title ? title : L"");
    auto* dock = new QDockWidget(name, main);
    dock->setObjectName("bar:" + name);
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                      QDockWidget::DockWidgetFloatable);
    dock->setTitleBarWidget(new BarTitle(name, dock, this));
    auto* window = new BarWindow(this, dock);
    window->resize(rect.Width(), rect.Height());
    window->setCreatedSize(QSize(rect.Width(), rect.Height()));
    dock->setWidget(window);
    dock->hide();
    // The bar starts at the size it was created with, as its window on the platform does.
    dock->resize(rect.Width(), rect.Height());
    m_dock = dock;
    attachWidget(window, false);
    setStyleBits(style);
    // Floating or docking again is laid out once Qt has placed the dock; a layout in the
    // middle of the change would take a request while the dock has no place yet.
    QObject::connect(dock, &QDockWidget::topLevelChanged, dock, [this](bool floating) {
        m_floatingSized = false;
        QTimer::singleShot(0, m_dock.data(), [this, floating] {
            if (floating) giveFloatingSize();
            saveState();
            if (CFrameWnd* frame = acedGetAcadFrame()) frame->RecalcLayout();
        });
    });
    // A bar that moved to another side is laid out again once the main window has
    // placed it, so that it sees where it now is.
    QObject::connect(dock, &QDockWidget::dockLocationChanged, dock, [this] {
        saveState();
        QTimer::singleShot(0, m_dock.data(), [] {
            if (CFrameWnd* frame = acedGetAcadFrame()) frame->RecalcLayout();
        });
    });
    if (!sendCreate(title)) {
        attachWidget(nullptr, false);
        delete dock;
        return FALSE;
    }
    if (CFrameWnd* frame = acedGetAcadFrame()) frame->addBar(this);
    return TRUE;
}

void CAdUiDockControlBar::SetToolID(const GUID* id) {
    if (!id) return;
    m_toolKey = QString::asprintf("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id->Data1, id->Data2,
                                  id->Data3, id->Data4[0], id->Data4[1], id->Data4[2], id->Data4[3], id->Data4[4],
                                  id->Data4[5], id->Data4[6], id->Data4[7]);
}

void CAdUiDockControlBar::EnableDocking(DWORD sides) {
    m_dockingSides = sides;
    if (!m_dock) return;
    Qt::DockWidgetAreas areas;
    if (sides & CBRS_ALIGN_LEFT) areas |= Qt::LeftDockWidgetArea;
    if (sides & CBRS_ALIGN_RIGHT) areas |= Qt::RightDockWidgetArea;
    if (sides & CBRS_ALIGN_TOP) areas |= Qt::TopDockWidgetArea;
    if (sides & CBRS_ALIGN_BOTTOM) areas |= Qt::BottomDockWidgetArea;
    m_dock->setAllowedAreas(areas);
}

BOOL CAdUiDockControlBar::RestoreControlBar(UINT dockBarId, CRect*) {
    if (!m_dock) return FALSE;
    const QString key = "bars/" + m_toolKey + "/";
    const QString area = m_toolKey.isEmpty() ? QString() : hostui::setting(key + "area").toString();
    const int savedWidth = hostui::setting(key + "width").toInt();
    const QRect floatingGeometry = hostui::setting(key + "floating").toRect();
    const bool right = area == "right" || (area.isEmpty() && dockBarId == AFX_IDW_DOCKBAR_RIGHT);
    placeAt(right ? Qt::RightDockWidgetArea : Qt::LeftDockWidgetArea);
    // A hidden dock cannot be sized; the saved width waits until the bar is shown.
    m_restoredWidth = savedWidth;
    if (area == "floating") {
        m_dock->setFloating(true);
        if (floatingGeometry.isValid()) m_dock->setGeometry(floatingGeometry);
    }
    m_restored = true;
    return TRUE;
}

QString CAdUiDockControlBar::dockSide() const {
    if (!m_dock) return "left";
    if (m_dock->isFloating()) return "floating";
    auto* main = qobject_cast<QMainWindow*>(m_dock->parentWidget());
    return main && main->dockWidgetArea(m_dock.data()) == Qt::RightDockWidgetArea ? "right" : "left";
}

BOOL CAdUiDockControlBar::IsFloating() const { return m_dock && m_dock->isFloating() ? TRUE : FALSE; }

CSize CAdUiDockControlBar::CalcDynamicLayout(int, DWORD) {
    if (!m_dock) return {};
    return {m_dock->width(), m_dock->height()};
}

void CAdUiDockControlBar::SizeChanged(CRect*, BOOL, int) {}

void CAdUiDockControlBar::placeAt(Qt::DockWidgetArea area) {
    auto* main = m_dock ? qobject_cast<QMainWindow*>(m_dock->parentWidget()) : nullptr;
    if (!main) return;
    const bool wasVisible = m_dock->isVisible();
    if (m_dock->isFloating()) m_dock->setFloating(false);
    main->addDockWidget(area, m_dock.data(), Qt::Vertical);
    m_dock->setVisible(wasVisible);
    // The main window places the dock at a size of its own first; that must be done
    // before the bar is asked its size, or it would undo the bar's answer later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    main->layout()->activate();
    if (CFrameWnd* frame = acedGetAcadFrame(); frame && wasVisible) frame->RecalcLayout();
}

void CAdUiDockControlBar::applyRestoredWidth() {
    auto* main = m_dock ? qobject_cast<QMainWindow*>(m_dock->parentWidget()) : nullptr;
    if (!main || m_restoredWidth <= 0 || !m_dock->isVisible() || m_dock->isFloating()) return;
    main->resizeDocks({m_dock.data()}, {std::exchange(m_restoredWidth, 0)}, Qt::Horizontal);
    main->layout()->activate();
}

void CAdUiDockControlBar::setFloatingBar(bool floating) {
    if (m_dock) m_dock->setFloating(floating);
}

// A floating bar has a size of its own: where it last floated, else its first size.
void CAdUiDockControlBar::giveFloatingSize() {
    if (!m_dock || !m_dock->isFloating()) return;
    const QRect saved = m_toolKey.isEmpty() ? QRect() : hostui::setting("bars/" + m_toolKey + "/floating").toRect();
    if (saved.isValid()) m_dock->setGeometry(saved);
    else if (auto* window = dynamic_cast<BarWindow*>(widget())) m_dock->resize(window->sizeHint());
    m_floatingSized = true;
}

void CAdUiDockControlBar::dragEdgeTo(int width) {
    auto* main = m_dock ? qobject_cast<QMainWindow*>(m_dock->parentWidget()) : nullptr;
    if (!main || !widget()) return;
    MSG held{widget(), WM_MOUSEMOVE, MK_LBUTTON, 0};
    PreTranslateMessage(&held);
    if (m_dock->isFloating()) m_dock->resize(width, m_dock->height());
    else main->resizeDocks({m_dock.data()}, {width}, Qt::Horizontal);
    main->layout()->activate();
    if (CFrameWnd* frame = acedGetAcadFrame()) frame->RecalcLayout();
    MSG released{widget(), WM_MOUSEMOVE, 0, 0};
    PreTranslateMessage(&released);
    // Letting go of the edge lays the bars out once more, now with the bar's own answer.
    if (CFrameWnd* frame = acedGetAcadFrame()) frame->RecalcLayout();
    saveState();
}

void CAdUiDockControlBar::notifySized() {
    QWidget* w = widget();
    if (!w) return;
    CRect rect(0, 0, w->width(), w->height());
    SizeChanged(&rect, IsFloating(), 0);
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width(), w->height()));
}

void CAdUiDockControlBar::saveState() const {
    // Nothing is kept before the saved place was read back, or it would be overwritten.
    if (!m_dock || m_toolKey.isEmpty() || !m_restored) return;
    const QString key = "bars/" + m_toolKey + "/";
    hostui::setSetting(key + "area", dockSide());
    // The docked size a bar floats off with is not its floating size.
    if (m_dock->isFloating() && m_floatingSized) hostui::setSetting(key + "floating", m_dock->geometry());
    else hostui::setSetting(key + "width", m_dock->width());
}

LPCTSTR AfxRegisterWndClass(UINT, void*, void*, void*) { return L"HostBarWindow"; }

void* LoadCursor(void*, const wchar_t*) { return nullptr; }
