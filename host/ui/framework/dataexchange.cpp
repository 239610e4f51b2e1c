#include "ui/framework/dataexchange.h"

#include <QRadioButton>

#include <vector>

namespace {

// The radio buttons of the group that starts at the control, in template order.
std::vector<QRadioButton*> radioGroup(CWnd& dialog, int firstId) {
    std::vector<QRadioButton*> group;
    CWnd* first = dialog.GetDlgItem(firstId);
    if (!first || !dialog.widget()) return group;
    bool inGroup = false;
    for (QObject* child : dialog.widget()->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        CWnd* control = w ? CWnd::FromHandle(w) : nullptr;
        if (!control) continue;
        if (control == first) inGroup = true;
        else if (inGroup && (control->GetStyle() & WS_GROUP)) break;
        if (inGroup)
            if (auto* radio = qobject_cast<QRadioButton*>(w)) group.push_back(radio);
    }
    return group;
}

}  // namespace

void DDX_Radio(CDataExchange* exchange, int firstId, int& value) {
    if (!exchange || !exchange->m_pDlgWnd) return;
    const std::vector<QRadioButton*> group = radioGroup(*exchange->m_pDlgWnd, firstId);
    if (exchange->m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (group[i]->isChecked()) value = static_cast<int>(i);
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) group[i]->setChecked(static_cast<int>(i) == value);
}
