#include "ui/framework/comboboxex.h"

#include <QComboBox>

#include <algorithm>
#include <cwchar>

namespace {

QComboBox* comboOf(const CWnd& wnd) { return dynamic_cast<QComboBox*>(wnd.widget()); }

constexpr int kImageRole = Qt::UserRole + 1, kDataRole = Qt::UserRole + 2;

}  // namespace

int CComboBoxEx::InsertItem(const COMBOBOXEXITEM* item) {
    QComboBox* combo = comboOf(*this);
    if (!combo || !item) return -1;
    const int index = item->iItem < 0 || item->iItem > combo->count() ? combo->count() : static_cast<int>(item->iItem);
    const QString text = (item->mask & CBEIF_TEXT) && item->pszText ? QString::fromWCharArray(item->pszText) : QString();
    const int image = (item->mask & CBEIF_IMAGE) ? item->iImage : -1;
    combo->insertItem(index, text);
    combo->setItemData(index, image, kImageRole);
    if (item->mask & CBEIF_LPARAM) combo->setItemData(index, QVariant::fromValue(static_cast<qlonglong>(item->lParam)), kDataRole);
    if (m_store && image >= 0 && image < m_store->count()) combo->setItemIcon(index, QIcon(m_store->pixmap(image)));
    return index;
}

BOOL CComboBoxEx::GetItem(COMBOBOXEXITEM* item) const {
    QComboBox* combo = comboOf(*this);
    if (!combo || !item || item->iItem < 0 || item->iItem >= combo->count()) return FALSE;
    const int index = static_cast<int>(item->iItem);
    if ((item->mask & CBEIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::wstring text = itemText(index);
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
        std::wmemcpy(item->pszText, text.c_str(), n);
        item->pszText[n] = L'\0';
    }
    item->iImage = item->iSelectedImage = combo->itemData(index, kImageRole).toInt();
    item->lParam = static_cast<LPARAM>(combo->itemData(index, kDataRole).toLongLong());
    return TRUE;
}

CImageList* CComboBoxEx::SetImageList(CImageList* images) {
    CImageList* previous = m_images;
    m_images = images;
    m_store = images ? images->store() : nullptr;
    if (QComboBox* combo = comboOf(*this); combo && m_store) combo->setIconSize(QSize(m_store->width(), m_store->height()));
    return previous;
}
