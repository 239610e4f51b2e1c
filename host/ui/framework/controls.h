#pragma once

#include "ui/framework/wnd.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

namespace hostui {

// The tab control's widget: a framed panel with a strip of vertical tabs along its right
// edge, or its left edge without TCS_RIGHT. Pages are the parent's business: they lie
// over the panel as siblings, as on the platform.
class TabControlWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int stripWidth = 22;

    explicit TabControlWidget(QWidget* parent);
    void setTabsOnRight(bool right);
    bool tabsOnRight() const { return m_right; }
    int insertItem(int index, const QString& text);
    void removeAll();
    int count() const { return static_cast<int>(m_items.size()); }
    QString itemText(int index) const;
    int current() const { return m_current; }
    void setCurrent(int index);
    void setFocusMark(int index);
    // The tab's rectangle in this widget; empty for a bad index.
    QRect tabRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int tabAt(QPoint p) const;
    void notifyParent(UINT code);

    std::vector<QString> m_items;
    int m_current = -1;
    int m_focusMark = -1;
    int m_pressed = -1;
    bool m_right = true;
};

}  // namespace hostui

class CTabCtrl : public CWnd {
public:
    struct TCITEM {};
    int InsertItem(int index, LPCTSTR text);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    void SetCurFocus(int index);
    std::wstring itemText(int index) const;

protected:
    void styleChanged() override;

private:
    hostui::TabControlWidget* tabs() const;
};

class CStatic : public CWnd {};

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int check);
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end);
    void LimitText(int chars);
    // The grey text an empty edit shows; it is never the edit's text. Shown also while
    // the edit has the focus when asked.
    BOOL SetCueBanner(LPCTSTR text, BOOL showWhenFocused = FALSE);
};

// The host's edits. A string edit takes any text; a numeric edit reads what was typed as
// a distance and an angle edit as an angle, in the current drawing's units, and writes
// it back in their form when the focus leaves them; text that is no value stays as
// typed.
class CAcUiStringEdit : public CEdit {};

class CAcUiNumericEdit : public CEdit {
public:
    void SetRange(double low, double high);
    // Normalises the text now, as leaving the edit does; FALSE when it is no value.
    BOOL Convert();
    BOOL GetValue(double& value) const;
    void SetValue(double value);

protected:
    void attached() override;
    virtual bool read(const std::wstring& text, double& value) const;
    virtual bool write(double value, std::wstring& text) const;
    // Whether normalising writes the value back in the units' form.
    virtual bool rewrites() const { return true; }

private:
    std::optional<double> m_low, m_high;
};

// An angle is checked but kept as typed: written back in the units' form it would be
// folded into one turn, and 450 degrees would become 90.
class CAcUiAngleEdit : public CAcUiNumericEdit {
protected:
    bool read(const std::wstring& text, double& value) const override;
    bool write(double value, std::wstring& text) const override;
    bool rewrites() const override { return false; }
};

// Visual themes: the host's controls draw one plain look, so switching a control's
// theme off changes nothing; answers 0 (success).
long SetWindowTheme(HWND window, const wchar_t* appName, const wchar_t* idList);
