#include "ui/framework/listctrl.h"

#include "ui/framework/labeledit.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <numeric>

hostui::ListViewWidget* CListCtrl::list() const { return dynamic_cast<hostui::ListViewWidget*>(widget()); }

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
    const DWORD previous = m_extended;
    m_extended = style;
    if (auto* l = list()) l->setGridLines((style & LVS_EX_GRIDLINES) != 0);
    return previous;
}

int CListCtrl::InsertColumn(int column, LPCTSTR heading, int, int width, int) {
    auto* l = list();
    if (!l || column < 0) return -1;
    column = std::min(column, static_cast<int>(l->model().columns.size()));
    l->model().insertColumn(column, QString::fromWCharArray(heading ? heading : L""));
    if (width >= 0) l->setColumnWidth(column, width);
    return column;
}

BOOL CListCtrl::SetColumnWidth(int column, int width) {
    auto* l = list();
    if (!l || column < 0 || column >= static_cast<int>(l->model().columns.size())) return FALSE;
    l->setColumnWidth(column, width);
    return TRUE;
}

int CListCtrl::GetColumnWidth(int column) const { return list() ? list()->columnWidth(column) : 0; }

int CListCtrl::InsertItem(int index, LPCTSTR text) {
    LVITEM item;
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int index, LPCTSTR text, int image) {
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    item.iImage = image;
    return InsertItem(&item);
}

int CListCtrl::InsertItem(const LVITEM* item) {
    auto* l = list();
    if (!l || !item || item->iItem < 0) return -1;
    hostui::ListItem row;
    row.texts.push_back((item->mask & LVIF_TEXT) && item->pszText ? QString::fromWCharArray(item->pszText) : QString());
    row.image = (item->mask & LVIF_IMAGE) ? item->iImage : -1;
    row.imageCallback = (item->mask & LVIF_IMAGE) && item->iImage == I_IMAGECALLBACK;
    row.state = (item->mask & LVIF_STATE) ? (item->state & item->stateMask) : 0;
    row.data = (item->mask & LVIF_PARAM) ? item->lParam : 0;
    return l->insertItem(item->iItem, std::move(row));
}

BOOL CListCtrl::SetItemText(int index, int subItem, LPCTSTR text) {
    auto* l = list();
    if (!l || index < 0 || index >= GetItemCount() || subItem < 0) return FALSE;
    l->setItemText(index, subItem, QString::fromWCharArray(text ? text : L""));
    return TRUE;
}

std::wstring CListCtrl::GetItemText(int index, int subItem) const {
    auto* l = list();
    if (!l || index < 0 || index >= GetItemCount() || subItem < 0) return {};
    const auto& texts = l->model().items[static_cast<std::size_t>(index)].texts;
    return static_cast<std::size_t>(subItem) < texts.size() ? texts[static_cast<std::size_t>(subItem)].toStdWString() : L"";
}

BOOL CListCtrl::DeleteItem(int index) { return list() && list()->removeItem(index) ? TRUE : FALSE; }

BOOL CListCtrl::DeleteAllItems() {
    if (auto* l = list()) l->removeAll();
    return TRUE;
}

int CListCtrl::GetItemCount() const { return list() ? static_cast<int>(list()->model().items.size()) : 0; }

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    auto* l = list();
    if (!l || index >= GetItemCount()) return FALSE;
    l->setState(index, state, mask);
    return TRUE;
}

UINT CListCtrl::GetItemState(int index, UINT mask) const {
    if (index < 0 || index >= GetItemCount()) return 0;
    return list()->model().items[static_cast<std::size_t>(index)].state & mask;
}

int CListCtrl::GetNextItem(int start, int flags) const {
    const int count = GetItemCount();
    for (int i = std::max(0, start + 1); i < count; ++i) {
        const UINT state = GetItemState(i, LVIS_SELECTED | LVIS_FOCUSED);
        if (flags == LVNI_ALL || ((flags & LVNI_SELECTED) && (state & LVIS_SELECTED)) ||
            ((flags & LVNI_FOCUSED) && (state & LVIS_FOCUSED)))
            return i;
    }
    return -1;
}

int CListCtrl::GetSelectionMark() const { return list() ? list()->selectionMark() : -1; }

int CListCtrl::SetSelectionMark(int index) {
    auto* l = list();
    if (!l) return -1;
    const int previous = l->selectionMark();
    l->setSelectionMark(index);
    return previous;
}

BOOL CListCtrl::SetItemData(int index, LPARAM data) {
    if (index < 0 || index >= GetItemCount()) return FALSE;
    list()->model().items[static_cast<std::size_t>(index)].data = data;
    return TRUE;
}

LPARAM CListCtrl::GetItemData(int index) const {
    if (index < 0 || index >= GetItemCount()) return 0;
    return list()->model().items[static_cast<std::size_t>(index)].data;
}

CImageList* CListCtrl::SetImageList(CImageList* images, int which) {
    CImageList*& slot = which == LVSIL_NORMAL ? m_normal : m_small;
    CImageList* previous = slot;
    slot = images;
    auto* l = list();
    // Icon mode shows the normal list; report mode the small one.
    if (l && (l->iconMode() == (which == LVSIL_NORMAL))) l->setImages(images ? images->store() : nullptr);
    return previous;
}

int CListCtrl::HitTest(CPoint at, UINT* flags) const {
    const int row = list() ? list()->hitTest(QPoint(at.x, at.y)) : -1;
    if (flags) *flags = row >= 0 ? LVHT_ONITEM : 0;
    return row;
}

void CListCtrl::SetRedraw(BOOL redraw) {
    if (auto* l = list()) l->setRedraw(redraw != FALSE);
}

BOOL CListCtrl::EnsureVisible(int index, BOOL) {
    auto* l = list();
    if (!l || index < 0 || index >= GetItemCount()) return FALSE;
    l->itemRect(index);
    return TRUE;
}

void CListCtrl::styleChanged() {
    if (auto* l = list()) l->setStyleBits(GetStyle());
}

CEdit* CListCtrl::EditLabel(int index) {
    auto* l = list();
    hostui::LabelEditWidget* editor = l ? l->beginLabelEdit(index) : nullptr;
    return editor ? dynamic_cast<CEdit*>(CWnd::FromHandle(editor)) : nullptr;
}

CEdit* CListCtrl::GetEditControl() const {
    hostui::LabelEditWidget* editor = list() ? list()->labelEditor() : nullptr;
    return editor ? dynamic_cast<CEdit*>(CWnd::FromHandle(editor)) : nullptr;
}

BOOL CListCtrl::CancelEditLabel() {
    if (auto* l = list()) l->endLabelEdit(false);
    return TRUE;
}

namespace {
CRect toRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
}  // namespace

BOOL CListCtrl::GetSubItemRect(int index, int subItem, int area, CRect& rect) const {
    auto* l = list();
    if (!l || index < 0 || index >= GetItemCount() || subItem < 0 || subItem >= l->model().columnCount()) return FALSE;
    const bool wholeRow = subItem == 0 && area == static_cast<int>(LVIR_BOUNDS);
    rect = toRect(l->cellRect(index, wholeRow ? -1 : subItem));
    return TRUE;
}

BOOL CListCtrl::GetItemRect(int index, LPRECT rect, UINT area) const {
    if (!rect) return FALSE;
    return GetSubItemRect(index, 0, static_cast<int>(area), *rect);
}

BOOL CListCtrl::SetColumnOrderArray(int count, LPINT order) {
    auto* table = list() ? qobject_cast<QTableView*>(list()->view()) : nullptr;
    if (!table || !order) return FALSE;
    QHeaderView* header = table->horizontalHeader();
    if (count != header->count()) return FALSE;
    for (int visual = 0; visual < count; ++visual) {
        const int from = header->visualIndex(order[visual]);
        if (from < 0) return FALSE;
        header->moveSection(from, visual);
    }
    return TRUE;
}

BOOL CListCtrl::GetColumnOrderArray(LPINT order, int count) const {
    auto* table = list() ? qobject_cast<QTableView*>(list()->view()) : nullptr;
    if (!table || !order) return FALSE;
    QHeaderView* header = table->horizontalHeader();
    if (count < 0) count = header->count();
    for (int visual = 0; visual < count && visual < header->count(); ++visual) order[visual] = header->logicalIndex(visual);
    return TRUE;
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() {
    auto* table = list() ? qobject_cast<QTableView*>(list()->view()) : nullptr;
    if (!table) return nullptr;
    if (m_header.widget() != table->horizontalHeader()) {
        m_header.UnsubclassWindow();
        m_header.attachWidget(table->horizontalHeader(), false);
    }
    return &m_header;
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE compare, LPARAM data) { return sortRows(compare, data, false); }

BOOL CListCtrl::SortItemsEx(PFNLVCOMPARE compare, LPARAM data) { return sortRows(compare, data, true); }

// The comparison sees the rows as they were before the sort: nothing moves until the
// order is known.
BOOL CListCtrl::sortRows(PFNLVCOMPARE compare, LPARAM data, bool byIndex) {
    auto* l = list();
    if (!l || !compare) return FALSE;
    l->endLabelEdit(true);
    std::vector<int> order(static_cast<std::size_t>(GetItemCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const LPARAM first = byIndex ? static_cast<LPARAM>(a) : GetItemData(a);
        const LPARAM second = byIndex ? static_cast<LPARAM>(b) : GetItemData(b);
        return compare(first, second, data) < 0;
    });
    l->reorder(order);
    return TRUE;
}
