#include "ui/framework/listview.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cwchar>

namespace hostui {

// --- the model ---

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(items.size()); }

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, static_cast<int>(columns.size()));
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const ListItem& item = items[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole: return column < item.texts.size() ? item.texts[column] : QString();
        case Qt::DecorationRole:
            if (column == 0 && images && item.image >= 0 && item.image < images->count()) return images->pixmap(item.image);
            return {};
        case Qt::TextAlignmentRole:
            return iconMode ? QVariant(Qt::AlignHCenter | Qt::AlignTop) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default: return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section >= 0 && section < static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(section)] : QString();
}

void ListModel::insertItem(int index, ListItem item) {
    if (m_frozen) {
        items.insert(items.begin() + index, std::move(item));
        return;
    }
    beginInsertRows({}, index, index);
    items.insert(items.begin() + index, std::move(item));
    endInsertRows();
}

void ListModel::removeItem(int index) {
    if (m_frozen) {
        items.erase(items.begin() + index);
        return;
    }
    beginRemoveRows({}, index, index);
    items.erase(items.begin() + index);
    endRemoveRows();
}

void ListModel::removeAll() {
    if (m_frozen) {
        items.clear();
        return;
    }
    beginResetModel();
    items.clear();
    endResetModel();
}

void ListModel::setFrozen(bool frozen) {
    if (frozen == m_frozen) return;
    if (frozen) beginResetModel();
    m_frozen = frozen;
    if (!frozen) endResetModel();
}

void ListModel::itemsChanged(int first, int last) {
    if (first <= last) emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void ListModel::insertColumn(int index, const QString& heading) {
    // The first heading names the column that always exists; later ones add columns.
    if (columns.empty()) {
        columns.push_back(heading);
        emit headerDataChanged(Qt::Horizontal, 0, 0);
        return;
    }
    beginInsertColumns({}, index, index);
    columns.insert(columns.begin() + index, heading);
    endInsertColumns();
}

void ListModel::setImages(std::shared_ptr<ImageStore> store) {
    beginResetModel();
    images = std::move(store);
    endResetModel();
}

// --- the control ---

namespace {

constexpr DWORD kTypeMask = 0x3;

std::uint16_t virtualKey(int key) {
    switch (key) {
        case Qt::Key_Delete: return 0x2E;
        case Qt::Key_F2: return 0x71;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_End: return 0x23;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Escape: return 0x1B;
        default: return key >= Qt::Key_A && key <= Qt::Key_Z ? static_cast<std::uint16_t>(key) : 0;
    }
}

}  // namespace

ListViewWidget::ListViewWidget(QWidget* parent, DWORD style) : QWidget(parent), m_style(style) {
    m_model.iconMode = (style & kTypeMask) == LVS_ICON;
    m_sortAscending = (style & LVS_SORTASCENDING) != 0;
    if (m_model.iconMode) {
        auto* list = new QListView(this);
        list->setViewMode(QListView::IconMode);
        list->setIconSize(QSize(32, 32));
        list->setMovement(QListView::Static);
        list->setResizeMode(QListView::Adjust);
        list->setUniformItemSizes(true);
        list->setWordWrap(true);
        list->setGridSize(QSize(76, 60));
        list->setFlow(QListView::LeftToRight);
        list->setWrapping(true);
        m_view = list;
    } else {
        auto* table = new QTableView(this);
        table->verticalHeader()->hide();
        table->setShowGrid(false);
        table->setWordWrap(false);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->horizontalHeader()->setHighlightSections(false);
        table->horizontalHeader()->setSectionsClickable(true);
        table->horizontalHeader()->setVisible((style & LVS_NOCOLUMNHEADER) == 0);
        table->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
        connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this](int section) { notify(LVN_COLUMNCLICK, -1, {}, 0, 0, section); });
        m_view = table;
    }
    m_view->setModel(&m_model);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
}

void ListViewWidget::setGridLines(bool on) {
    if (auto* table = qobject_cast<QTableView*>(m_view)) table->setShowGrid(on);
}

void ListViewWidget::setHeaderVisible(bool visible) {
    if (auto* table = qobject_cast<QTableView*>(m_view)) table->horizontalHeader()->setVisible(visible);
}

void ListViewWidget::setColumnWidth(int column, int width) {
    if (auto* table = qobject_cast<QTableView*>(m_view)) table->setColumnWidth(column, width);
}

int ListViewWidget::columnWidth(int column) const {
    if (auto* table = qobject_cast<QTableView*>(m_view)) return table->columnWidth(column);
    return m_view->viewport()->width();
}

int ListViewWidget::insertItem(int index, ListItem item) {
    const int count = static_cast<int>(m_model.items.size());
    index = std::clamp(index, 0, count);
    if (m_sortAscending && !item.texts.empty()) {
        // The rows are kept in order: the new one goes after its equals.
        const auto after = std::upper_bound(m_model.items.begin(), m_model.items.end(), item.texts.front(),
                                            [](const QString& label, const ListItem& other) {
                                                const QString none;
                                                return QString::compare(label, other.texts.empty() ? none : other.texts.front(),
                                                                        Qt::CaseInsensitive) < 0;
                                            });
        index = static_cast<int>(after - m_model.items.begin());
    }
    const bool selected = (item.state & LVIS_SELECTED) != 0;
    m_model.insertItem(index, std::move(item));
    if (m_mark >= index) ++m_mark;
    if (selected && !m_model.frozen())
        m_view->selectionModel()->select(m_model.index(index, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    return index;
}

bool ListViewWidget::removeItem(int index) {
    if (index < 0 || index >= static_cast<int>(m_model.items.size())) return false;
    m_model.removeItem(index);
    if (m_mark == index) m_mark = -1;
    else if (m_mark > index) --m_mark;
    return true;
}

void ListViewWidget::removeAll() {
    m_model.removeAll();
    m_mark = -1;
}

void ListViewWidget::setState(int index, UINT state, UINT mask) {
    if (index < 0) {
        for (int i = 0; i < static_cast<int>(m_model.items.size()); ++i) setState(i, state, mask);
        return;
    }
    if (index >= static_cast<int>(m_model.items.size())) return;
    const UINT old = m_model.items[static_cast<std::size_t>(index)].state;
    const UINT now = (old & ~mask) | (state & mask);
    if (now == old) return;
    // One row has the focus, and in a single-selection list one row is selected: the
    // row that gains either takes it from the others first.
    const UINT taken = (now & ~old) & (LVIS_FOCUSED | ((m_style & LVS_SINGLESEL) ? LVIS_SELECTED : 0u));
    QPointer<ListViewWidget> alive(this);
    for (int i = 0; taken && alive && i < static_cast<int>(m_model.items.size()); ++i)
        if (i != index && (m_model.items[static_cast<std::size_t>(i)].state & taken)) setState(i, 0, taken);
    if (!alive || index >= static_cast<int>(m_model.items.size())) return;
    ListItem& item = m_model.items[static_cast<std::size_t>(index)];
    item.state = now;
    const QModelIndex at = m_model.index(index, 0);
    // A frozen list takes its selection from the rows when it thaws.
    if (((now ^ old) & LVIS_SELECTED) && !m_model.frozen())
        m_view->selectionModel()->select(at, ((now & LVIS_SELECTED) ? QItemSelectionModel::Select
                                                                     : QItemSelectionModel::Deselect) |
                                                 QItemSelectionModel::Rows);
    if ((now & LVIS_FOCUSED) && !m_model.frozen()) m_view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    notify(LVN_ITEMCHANGED, index, {}, now, old);
}

void ListViewWidget::setItemText(int index, int column, const QString& text) {
    if (index < 0 || index >= static_cast<int>(m_model.items.size()) || column < 0) return;
    auto& texts = m_model.items[static_cast<std::size_t>(index)].texts;
    if (texts.size() <= static_cast<std::size_t>(column)) texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = text;
    m_model.itemsChanged(index, index);
}

void ListViewWidget::setImages(std::shared_ptr<ImageStore> images) { m_model.setImages(std::move(images)); }

void ListViewWidget::setRedraw(bool on) {
    m_model.setFrozen(!on);
    if (!on) return;
    // A reset forgets the view's selection: it is taken from the rows again.
    QItemSelection selected;
    for (int i = 0; i < static_cast<int>(m_model.items.size()); ++i)
        if (m_model.items[static_cast<std::size_t>(i)].state & LVIS_SELECTED) selected.select(m_model.index(i, 0), m_model.index(i, 0));
    m_view->selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListViewWidget::setSortMark(int column, int order) {
    if (column < 0) return;
    if (m_sortMarks.size() <= static_cast<std::size_t>(column)) m_sortMarks.resize(static_cast<std::size_t>(column) + 1);
    m_sortMarks[static_cast<std::size_t>(column)] = order;
    if (auto* table = qobject_cast<QTableView*>(m_view)) {
        const bool any = std::any_of(m_sortMarks.begin(), m_sortMarks.end(), [](int o) { return o != 0; });
        table->horizontalHeader()->setSortIndicatorShown(any);
        if (order != 0) table->horizontalHeader()->setSortIndicator(column, order > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

int ListViewWidget::sortMark(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < m_sortMarks.size() ? m_sortMarks[static_cast<std::size_t>(column)] : 0;
}

int ListViewWidget::hitTest(QPoint at) const {
    const QModelIndex index = m_view->indexAt(m_view->viewport()->mapFrom(this, at));
    return index.isValid() ? index.row() : -1;
}

QRect ListViewWidget::itemRect(int index) {
    const QModelIndex at = m_model.index(index, 0);
    if (!at.isValid()) return {};
    m_view->scrollTo(at);
    return m_view->visualRect(at);
}

QWidget* ListViewWidget::mouseTarget() const { return m_view->viewport(); }

QPoint ListViewWidget::toSelf(QPoint viewportPoint) const { return m_view->viewport()->mapTo(this, viewportPoint); }

void ListViewWidget::notify(UINT code, int item, QPoint at, UINT newState, UINT oldState, int subItem) {
    CWnd* self = CWnd::FromHandle(this);
    CWnd* parent = self ? self->GetParent() : nullptr;
    if (!parent) return;
    NMITEMACTIVATE n;
    n.hdr = {this, static_cast<UINT_PTR>(self->GetDlgCtrlID()), code};
    n.iItem = item;
    n.iSubItem = subItem;
    n.uNewState = newState;
    n.uOldState = oldState;
    n.uChanged = code == LVN_ITEMCHANGED ? LVIF_STATE : 0;
    n.ptAction = {at.x(), at.y()};
    if (item >= 0 && item < static_cast<int>(m_model.items.size())) n.lParam = m_model.items[static_cast<std::size_t>(item)].data;
    parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(self->GetDlgCtrlID()), reinterpret_cast<LPARAM>(&n));
}

void ListViewWidget::selectOnly(int index) {
    QPointer<ListViewWidget> alive(this);
    for (int i = 0; alive && i < static_cast<int>(m_model.items.size()); ++i)
        if (i != index && (m_model.items[static_cast<std::size_t>(i)].state & (LVIS_SELECTED | LVIS_FOCUSED)))
            setState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!alive || index < 0) return;
    m_mark = index;
    setState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

bool ListViewWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport()) return mouseEvent(event);
    if (watched == m_view && event->type() == QEvent::KeyPress) return keyEvent(event);
    return QWidget::eventFilter(watched, event);
}

bool ListViewWidget::mouseEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    // The control's tip stands for all of its rows.
    if (type == QEvent::ToolTip && !toolTip().isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTip(), this);
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    const QModelIndex hit = m_view->indexAt(at);
    const int row = hit.isValid() ? hit.row() : -1;
    QPointer<ListViewWidget> alive(this);
    if (type == QEvent::MouseButtonPress) {
        m_view->setFocus(Qt::MouseFocusReason);
        if (mouse->button() == Qt::LeftButton) {
            m_pressed = row;
            m_pressAt = at;
            selectOnly(row);
        } else if (mouse->button() == Qt::RightButton && row >= 0) {
            // The platform's list selects the row under the pointer before its menu opens.
            selectOnly(row);
        }
        return true;
    }
    if (type == QEvent::MouseButtonDblClick) {
        if (mouse->button() == Qt::LeftButton) notify(NM_DBLCLK, row, toSelf(at));
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        if (mouse->button() == Qt::LeftButton && m_pressed != -2) notify(NM_CLICK, row, toSelf(at));
        else if (mouse->button() == Qt::RightButton) notify(NM_RCLICK, row, toSelf(at));
        if (alive) m_pressed = -1;
        return true;
    }
    // A press on a row dragged further than the drag distance starts a drag, once.
    if ((mouse->buttons() & Qt::LeftButton) && m_pressed >= 0 &&
        (at - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
        const int dragged = m_pressed;
        m_pressed = -2;
        notify(LVN_BEGINDRAG, dragged, toSelf(m_pressAt));
        return true;
    }
    return false;
}

bool ListViewWidget::keyEvent(QEvent* event) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
    QPointer<ListViewWidget> alive(this);
    CWnd* self = CWnd::FromHandle(this);
    CWnd* parent = self ? self->GetParent() : nullptr;
    if (const std::uint16_t vk = virtualKey(key->key()); vk && parent) {
        NMLVKEYDOWN n;
        n.hdr = {this, static_cast<UINT_PTR>(self->GetDlgCtrlID()), LVN_KEYDOWN};
        n.wVKey = vk;
        parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(self->GetDlgCtrlID()), reinterpret_cast<LPARAM>(&n));
        if (!alive) return true;
    }
    const int count = static_cast<int>(m_model.items.size());
    int current = -1;
    for (int i = 0; i < count; ++i)
        if (m_model.items[static_cast<std::size_t>(i)].state & LVIS_FOCUSED) current = i;
    int next = -1;
    switch (key->key()) {
        case Qt::Key_Up: next = std::max(0, current - 1); break;
        case Qt::Key_Down: next = std::min(count - 1, current + 1); break;
        case Qt::Key_Home: next = 0; break;
        case Qt::Key_End: next = count - 1; break;
        default: return key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter && key->key() != Qt::Key_Escape;
    }
    if (count > 0 && next >= 0) {
        selectOnly(next);
        if (alive) m_view->scrollTo(m_model.index(next, 0));
    }
    return true;
}


}  // namespace hostui

// --- CListCtrl ---

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

int CListCtrl::InsertItem(int index, LPCTSTR text) { return InsertItem(index, text, -1); }

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
