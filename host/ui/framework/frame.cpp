#include "ui/framework/frame.h"

#include "ui/framework/dockbar.h"
#include "ui/framework/modal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDockWidget>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>
#include <memory>

namespace {

// Watches the main window for what lays the bars out again (its resizes) and for a
// person dragging a separator beside a bar, which the bar sees as a mouse move with the
// left button held.
class FrameWatcher : public QObject {
public:
    explicit FrameWatcher(CFrameWnd& frame) : m_frame(frame) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* main = m_frame.mainWindow();
        if (event->type() == QEvent::Enter && watched == m_view) giveFocusToTheDrawing();
        if (watched != main) return false;
        switch (event->type()) {
            case QEvent::Resize: m_frame.RecalcLayout(); break;
            case QEvent::MouseMove: {
                auto* me = static_cast<QMouseEvent*>(event);
                if ((me->buttons() & Qt::LeftButton) && main->cursor().shape() == Qt::SplitHCursor) {
                    m_separatorDrag = true;
                    tellBars(MK_LBUTTON);
                }
                break;
            }
            case QEvent::MouseButtonRelease:
                if (m_separatorDrag) {
                    m_separatorDrag = false;
                    tellBars(0);
                    m_frame.RecalcLayout();
                    for (CAdUiDockControlBar* bar : m_frame.bars()) bar->saveState();
                }
                break;
            default: break;
        }
        return false;
    }

public:
    void watchView(QWidget* view) {
        m_view = view;
        if (view) view->installEventFilter(this);
    }

private:
    // The cursor came onto the drawing: a window elsewhere keeps the keyboard focus
    // only if it asks to.
    void giveFocusToTheDrawing() {
        QWidget* focus = QApplication::focusWidget();
        if (!m_view || !focus || focus == m_view.data() || m_view->isAncestorOf(focus)) return;
        if (!hostui::keepsFocus(focus)) m_view->setFocus(Qt::MouseFocusReason);
    }

    void tellBars(WPARAM keys) {
        for (CAdUiDockControlBar* bar : m_frame.bars()) {
            MSG msg{bar->widget(), WM_MOUSEMOVE, keys, 0};
            if (bar->widget()) bar->PreTranslateMessage(&msg);
        }
    }

    CFrameWnd& m_frame;
    QPointer<QWidget> m_view;
    bool m_separatorDrag = false;
};

struct FrameState {
    CFrameWnd frame;
    QPointer<QMainWindow> main;
    CWnd view;
    std::unique_ptr<FrameWatcher> watcher;
};

std::unique_ptr<FrameState>& state() {
    static std::unique_ptr<FrameState> s;
    return s;
}

}  // namespace

namespace hostui {

void setMainFrame(QMainWindow* main, QWidget* drawingView) {
    auto& s = state();
    if (s && s->main) s->main->removeEventFilter(s->watcher.get());
    if (s && s->view.widget()) s->view.widget()->removeEventFilter(s->watcher.get());
    s.reset();
    // While there is a main window, the editor asks for files in its file dialog.
    hosted::setFileChooser(main ? &chooseFileForEditor : nullptr);
    if (!main) return;
    s = std::make_unique<FrameState>();
    s->main = main;
    s->frame.attachWidget(main, false);
    s->view.attachWidget(drawingView, false);
    s->watcher = std::make_unique<FrameWatcher>(s->frame);
    main->installEventFilter(s->watcher.get());
    s->watcher->watchView(drawingView);
}

bool keepsFocus(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (CWnd* window = CWnd::FromHandle(w); window && window->SendMessage(WM_ACAD_KEEPFOCUS) == TRUE) return true;
    return false;
}

QWidget* mainFrameWidget() { return state() ? state()->main.data() : nullptr; }

}  // namespace hostui

CFrameWnd* acedGetAcadFrame() { return state() && state()->main ? &state()->frame : nullptr; }

CWnd* acedGetAcadDwgView() { return state() && state()->view.widget() ? &state()->view : nullptr; }

QMainWindow* CFrameWnd::mainWindow() const { return qobject_cast<QMainWindow*>(widget()); }

void CFrameWnd::addBar(CAdUiDockControlBar* bar) {
    if (std::find(m_bars.begin(), m_bars.end(), bar) == m_bars.end()) m_bars.push_back(bar);
}

void CFrameWnd::removeBar(CAdUiDockControlBar* bar) { std::erase(m_bars, bar); }

void CFrameWnd::RecalcLayout(BOOL) {
    QMainWindow* main = mainWindow();
    if (!main || m_inLayout) return;
    m_inLayout = true;
    for (CAdUiDockControlBar* bar : m_bars) {
        QDockWidget* dock = bar->dock();
        if (!dock || !dock->isVisible()) continue;
        const bool floating = dock->isFloating();
        const CSize size = bar->CalcDynamicLayout(-1, floating ? LM_HORZ : LM_VERTDOCK);
        if (!floating && size.cx > 0 && size.cx != dock->width()) {
            main->resizeDocks({dock}, {size.cx}, Qt::Horizontal);
            main->layout()->activate();
        }
        bar->notifySized();
    }
    m_inLayout = false;
}

void CFrameWnd::ShowControlBar(CAdUiDockControlBar* bar, BOOL show, BOOL) {
    if (!bar || !bar->dock()) return;
    bar->dock()->setVisible(show != FALSE);
    if (!show) return;
    // The main window places a newly shown dock at its own size first; that layout must
    // be done before the bar's width is applied, or it would undo it later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (mainWindow()) mainWindow()->layout()->activate();
    bar->dock()->raise();
    bar->applyRestoredWidth();
}
