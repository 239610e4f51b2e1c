#pragma once

#include "ui/framework/wintypes.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class CWnd;
class CDataExchange;

// A font object of the window system: owns one description until replaced.
class CFont {
public:
    CFont() = default;
    BOOL CreateFontIndirect(const LOGFONT* font);
    BOOL GetLogFont(LOGFONT* font) const;
    BOOL DeleteObject();
    bool isEmpty() const { return !m_font; }
    const QFont* font() const { return m_font.get(); }
    void set(const QFont& font) { m_font = std::make_unique<QFont>(font); }

private:
    std::unique_ptr<QFont> m_font;
};

namespace hostui {

// The Qt widget that stands for a window of the window framework: it turns Qt's events
// into the window messages its CWnd handles. Mouse moves pass the CWnd's pre-translation
// first, as the platform's message loop does.
class WindowWidget : public QWidget {
    Q_OBJECT
public:
    explicit WindowWidget(CWnd* owner, QWidget* parent = nullptr);
    ~WindowWidget() override;
    void release() { m_owner = nullptr; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CWnd* m_owner;
};

// One paint of a window kind that lets its CWnd draw: the kind's paint event makes one,
// sends WM_PAINT, and draws its own look only when the handler asked for the default
// (CWnd::OnPaint). Paints nest (a child painted inside its parent's paint).
class PaintRequest {
public:
    explicit PaintRequest(QWidget* widget);
    ~PaintRequest();
    PaintRequest(const PaintRequest&) = delete;
    PaintRequest& operator=(const PaintRequest&) = delete;
    // Sends WM_PAINT to the widget's CWnd; without one the default look is wanted.
    void send();
    bool defaultWanted() const { return m_defaultWanted; }
    // The paint of this widget under way, or null.
    static PaintRequest* of(const QWidget* widget);
    // Whether the widget is being painted now: a repaint asked for now would loop.
    static bool painting(const QWidget* widget) { return of(widget) != nullptr; }
    void wantDefault() { m_defaultWanted = true; }

private:
    QWidget* m_widget;
    PaintRequest* m_outer;
    bool m_defaultWanted = false;
};

// A widget that is one of the platform's own controls: what the control itself does with
// a message that its window object passes on (DefWindowProc).
class DefaultHandling {
public:
    virtual LRESULT defaultMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~DefaultHandling() = default;
};

}  // namespace hostui

// A window: the framework's object for one widget, answering window messages through
// WindowProc. A CWnd that made its widget destroys it with itself; a CWnd attached to a
// control of a dialog leaves it to the dialog. Widgets destroyed by Qt (with their
// parent) leave the CWnd without a window, which it survives.
class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_widget.data(); }
    static CWnd* FromHandle(HWND widget);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queued: handled once the event loop runs again.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual BOOL PreTranslateMessage(MSG* message);

    // Geometry in the parent's client coordinates (screen for top-level windows).
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const CRect& rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(CRect* rect) const;  // screen coordinates
    void GetClientRect(CRect* rect) const;
    void ClientToScreen(CPoint* point) const;
    void ScreenToClient(CPoint* point) const;
    void ScreenToClient(CRect* rect) const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    // Marks the window's area (all of it for null) as drawn, so that no paint request for
    // it stays pending.
    BOOL ValidateRect(const RECT* rect);

    // A timer sends WM_TIMER with its id every elapse milliseconds until killed or
    // until the window goes; setting an id again restarts it. Answers the id, or 0
    // without a window. Timers run on the event loop, so a nested modal loop serves them.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* callback = nullptr);
    BOOL KillTimer(UINT_PTR id);
    // Whether any timer of the window is running.
    bool hasRunningTimers() const;
    CWnd* SetFocus();
    BOOL DestroyWindow();

    CWnd* GetParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    // Binds this object to control id of parent, in place of the parent's default.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Binds this object to a window that another object stands for, until
    // UnsubclassWindow gives the window back to that object; FALSE when this object
    // already has a window.
    BOOL SubclassWindow(HWND window);
    HWND UnsubclassWindow();

    // Moves the controls' values into the object's members (TRUE) or back (FALSE)
    // through DoDataExchange.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const { return m_font; }
    DWORD GetStyle() const { return m_style; }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);

    void SetWindowText(LPCTSTR text);
    std::wstring windowText() const;

protected:
    friend class hostui::WindowWidget;
    // Message dispatch: the handlers below for the messages the framework knows;
    // DefWindowProc for the rest.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    virtual int OnCreate(LPCREATESTRUCT create);
    virtual void OnDestroy() {}
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnTimer(UINT_PTR id);
    // The window's own drawing; the default draws what the window kind draws.
    virtual void OnPaint();
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A notification of this window, offered to it before its parent: TRUE keeps it
    // from the parent, with result as the answer.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The defaults pass the message on to the control itself (DefWindowProc).
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual UINT OnGetDlgCode();
    // Every placement through MoveWindow and SetWindowPos asks here first; the window
    // goes where pos says afterwards.
    virtual void OnWindowPosChanging(WINDOWPOS* pos);
    virtual void DoDataExchange(CDataExchange*) {}

    // A control or window kind reacts to its style word here (a tab control moves its tabs).
    virtual void styleChanged() {}
    // Called once SubclassDlgItem has bound this object to its control.
    virtual void attached() {}
    virtual void fontChanged() {}

public:
    // The framework's side: binding a widget to this object. owned: the CWnd deletes the
    // widget with itself.
    void attachWidget(QWidget* widget, bool owned);
    QWidget* widget() const { return m_widget.data(); }
    void setStyleBits(DWORD style) { m_style = style; }
    void setControlId(int id);
    // Sends WM_CREATE; -1 from the handler means the creation failed.
    bool sendCreate(LPCTSTR name);

private:
    void resizeTo(int width, int height);
    void place(int x, int y, int cx, int cy, UINT flags);
    void giveBackWindow();

    QPointer<QWidget> m_widget;
    // The object that stood for the window before SubclassWindow; it gets it back.
    CWnd* m_previousOwner = nullptr;
    bool m_owned = false;
    DWORD m_style = 0;
    CFont* m_font = nullptr;
};

// A window that the framework made for a control nobody bound.
class CGenericControl : public CWnd {};

int GetSystemMetrics(int index);
