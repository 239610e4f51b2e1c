#pragma once

#include "ui/framework/controls.h"

#include <QLineEdit>

#include <memory>

namespace hostui {

class ListViewWidget;

// The edit box a list view opens over a row's label (LVS_EDITLABELS). Its keys go
// through its window object as WM_GETDLGCODE and WM_KEYDOWN, so that a module's class
// bound to it with SubclassWindow sees them first; what the object passes on is done
// here: Enter ends the edit keeping the text, Escape ends it discarding the text, other
// keys edit. Losing the focus ends it keeping the text. A Tab goes to the box only when
// its object asks for it (DLGC_WANTTAB); otherwise it moves the focus on.
class LabelEditWidget : public QLineEdit, public DefaultHandling {
public:
    explicit LabelEditWidget(ListViewWidget* list);
    ~LabelEditWidget() override;

    LRESULT defaultMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ListViewWidget* m_list;
    // The window object that stands for the box until a module's class subclasses it.
    std::unique_ptr<CEdit> m_window;
    QKeyEvent* m_key = nullptr;
};

}  // namespace hostui
