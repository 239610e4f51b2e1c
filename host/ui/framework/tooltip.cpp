#include "ui/framework/tooltip.h"

#include <QWidget>

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD) { return parent && parent->widget() ? TRUE : FALSE; }

BOOL CToolTipCtrl::AddTool(CWnd* control, LPCTSTR text) {
    if (!control || !control->widget()) return FALSE;
    QString tip = QString::fromWCharArray(text ? text : L"");
    tip.replace("\r\n", "\n");
    control->widget()->setToolTip(tip);
    return TRUE;
}

void CToolTipCtrl::Activate(BOOL) {}

int CToolTipCtrl::SetMaxTipWidth(int width) { return width; }
