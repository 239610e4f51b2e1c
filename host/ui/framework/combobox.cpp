#include "ui/framework/combobox.h"

#include <QComboBox>

namespace {

QComboBox* comboOf(const CWnd& wnd) { return dynamic_cast<QComboBox*>(wnd.widget()); }

}  // namespace

int CComboBox::AddString(LPCTSTR text) { return InsertString(-1, text); }

int CComboBox::InsertString(int index, LPCTSTR text) {
    QComboBox* combo = comboOf(*this);
    if (!combo) return CB_ERR;
    if (index < 0 || index > combo->count()) index = combo->count();
    combo->insertItem(index, QString::fromWCharArray(text ? text : L""));
    return index;
}

int CComboBox::DeleteString(int index) {
    QComboBox* combo = comboOf(*this);
    if (!combo || index < 0 || index >= combo->count()) return CB_ERR;
    combo->removeItem(index);
    return combo->count();
}

void CComboBox::ResetContent() {
    if (QComboBox* combo = comboOf(*this)) combo->clear();
}

int CComboBox::GetCount() const { return comboOf(*this) ? comboOf(*this)->count() : 0; }

int CComboBox::GetCurSel() const { return comboOf(*this) ? comboOf(*this)->currentIndex() : CB_ERR; }

int CComboBox::SetCurSel(int index) {
    QComboBox* combo = comboOf(*this);
    if (!combo || index < -1 || index >= combo->count()) return CB_ERR;
    combo->setCurrentIndex(index);
    return index;
}

std::wstring CComboBox::itemText(int index) const {
    QComboBox* combo = comboOf(*this);
    return combo && index >= 0 && index < combo->count() ? combo->itemText(index).toStdWString() : L"";
}
