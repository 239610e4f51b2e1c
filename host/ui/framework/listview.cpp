#include "ui/framework/listview.h"

#include "ui/framework/labeledit.h"
#include "ui/framework/tooltip.h"

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
#include <numeric>

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
        case Qt::DecorationRole: {
            if (column != 0 || !images) return {};
            const int image = item.imageCallback && askImage ? askImage(index.row()) : item.image;
            if (image >= 0 && image < images->count()) return images->pixmap(image);
            return {};
        }
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
        // The header flips its own arrow on a click; the list shows the marks its owner set.
        connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
            QPointer<ListViewWidget> alive(this);
            notify(LVN_COLUMNCLICK, -1, {}, 0, 0, section);
            if (alive) applySortMarks();
        });
        m_view = table;
    }
    m_model.askImage = [this](int row) { return imageOf(row); };
    m_view->setModel(&m_model);
    m_view->setTabKeyNavigation(false);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    showSelectionAlways((style & LVS_SHOWSELALWAYS) != 0);
}

// The box goes first, while the list it tells is whole.
ListViewWidget::~ListViewWidget() { delete m_editor.data(); }

void ListViewWidget::setStyleBits(DWORD style) {
    m_style = style;
    showSelectionAlways((style & LVS_SHOWSELALWAYS) != 0);
}

// Without LVS_SHOWSELALWAYS the selection is drawn only while the list has the focus.
void ListViewWidget::showSelectionAlways(bool always) {
    const bool shown = always || m_view->hasFocus() || (m_editor && m_editor->hasFocus());
    QPalette palette = QApplication::palette(m_view);
    if (!shown)
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Highlight, palette.color(group, QPalette::Base));
            palette.setColor(group, QPalette::HighlightedText, palette.color(group, QPalette::Text));
        }
    if (m_view->palette() != palette) m_view->setPalette(palette);
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
    endLabelEdit(true);
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
    endLabelEdit(true);
    if (index < 0 || index >= static_cast<int>(m_model.items.size())) return false;
    m_model.removeItem(index);
    if (m_mark == index) m_mark = -1;
    else if (m_mark > index) --m_mark;
    return true;
}

void ListViewWidget::removeAll() {
    endLabelEdit(true);
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

int ListViewWidget::imageOf(int row) {
    if (row < 0 || row >= m_model.rowCount()) return -1;
    ListItem& item = m_model.items[static_cast<std::size_t>(row)];
    if (!item.imageCallback) return item.image;
    CWnd* self = CWnd::FromHandle(this);
    CWnd* parent = self ? self->GetParent() : nullptr;
    if (!parent) return -1;
    NMLVDISPINFO info;
    info.hdr = {this, static_cast<UINT_PTR>(self->GetDlgCtrlID()), LVN_GETDISPINFO};
    info.item.mask = LVIF_IMAGE;
    info.item.iItem = row;
    info.item.iImage = -1;
    info.item.lParam = item.data;
    QPointer<ListViewWidget> alive(this);
    parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(self->GetDlgCtrlID()), reinterpret_cast<LPARAM>(&info));
    if (!alive || row >= m_model.rowCount()) return -1;
    if (info.item.mask & LVIF_DI_SETITEM) {
        ListItem& asked = m_model.items[static_cast<std::size_t>(row)];
        asked.image = info.item.iImage;
        asked.imageCallback = false;
    }
    return info.item.iImage;
}

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
    applySortMarks();
}

// Qt's header shows one arrow: the last column with a mark.
void ListViewWidget::applySortMarks() {
    auto* table = qobject_cast<QTableView*>(m_view);
    if (!table) return;
    int shown = -1;
    for (std::size_t c = 0; c < m_sortMarks.size(); ++c)
        if (m_sortMarks[c] != 0) shown = static_cast<int>(c);
    QHeaderView* header = table->horizontalHeader();
    header->setSortIndicatorShown(shown >= 0);
    // Qt draws its ascending order as a downward arrow; the platform's up mark points up.
    if (shown >= 0)
        header->setSortIndicator(shown, m_sortMarks[static_cast<std::size_t>(shown)] > 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
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

QRect ListViewWidget::cellRect(int row, int column) const {
    if (row < 0 || row >= m_model.rowCount()) return {};
    QRect rect;
    if (column >= 0) {
        rect = m_view->visualRect(m_model.index(row, column));
    } else {
        for (int c = 0; c < m_model.columnCount(); ++c) rect = rect.united(m_view->visualRect(m_model.index(row, c)));
    }
    return rect.translated(m_view->viewport()->mapTo(this, QPoint(0, 0)));
}

void ListViewWidget::reorder(const std::vector<int>& order) {
    endLabelEdit(true);
    auto& items = m_model.items;
    if (order.size() != items.size()) return;
    std::vector<ListItem> sorted;
    sorted.reserve(items.size());
    int mark = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(items[static_cast<std::size_t>(order[i])]));
        if (order[i] == m_mark) mark = static_cast<int>(i);
    }
    const bool frozen = m_model.frozen();
    if (!frozen) setRedraw(false);
    items = std::move(sorted);
    m_mark = mark;
    if (!frozen) setRedraw(true);
}

// --- label editing ---

LabelEditWidget* ListViewWidget::labelEditor() const { return m_editor.data(); }

LRESULT ListViewWidget::notifyLabel(UINT code, int row, wchar_t* text) {
    CWnd* self = CWnd::FromHandle(this);
    CWnd* parent = self ? self->GetParent() : nullptr;
    // Nobody to accept an edit: the platform's list keeps its label then.
    if (!parent) return 0;
    NMLVDISPINFO info;
    info.hdr = {this, static_cast<UINT_PTR>(self->GetDlgCtrlID()), code};
    info.item.mask = LVIF_TEXT | LVIF_PARAM;
    info.item.iItem = row;
    info.item.pszText = text;
    info.item.cchTextMax = text ? static_cast<int>(std::wcslen(text)) + 1 : 0;
    if (row >= 0 && row < m_model.rowCount()) info.item.lParam = m_model.items[static_cast<std::size_t>(row)].data;
    return parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(self->GetDlgCtrlID()), reinterpret_cast<LPARAM>(&info));
}

LabelEditWidget* ListViewWidget::beginLabelEdit(int row) {
    if (row < 0 || row >= m_model.rowCount()) return nullptr;
    endLabelEdit(true);
    QPointer<ListViewWidget> alive(this);
    selectOnly(row);
    if (!alive || row >= m_model.rowCount()) return nullptr;
    m_view->scrollTo(m_model.index(row, 0));
    // The box exists while the parent is asked, so that it can take hold of it.
    QPointer<LabelEditWidget> editor = new LabelEditWidget(this);
    editor->hide();
    const auto& texts = m_model.items[static_cast<std::size_t>(row)].texts;
    editor->setText(texts.empty() ? QString() : texts.front());
    m_editor = editor;
    m_editedRow = row;
    std::wstring label = editor->text().toStdWString();
    const LRESULT refused = notifyLabel(LVN_BEGINLABELEDIT, row, label.data());
    if (!alive || !editor) return nullptr;
    if (refused || m_editor != editor) {
        if (m_editor == editor) {
            m_editor = nullptr;
            m_editedRow = -1;
        }
        delete editor.data();
        return nullptr;
    }
    placeLabelEditor();
    LabelEditWidget* box = editor.data();
    connect(box, &QLineEdit::textChanged, this, [this, box] {
        if (m_editor == box) placeLabelEditor();
    });
    box->show();
    box->raise();
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return box;
}

// Placed through its window object, which may take another place: the box covers the
// label and grows with its text up to the list's right edge, as the platform's does.
void ListViewWidget::placeLabelEditor() {
    LabelEditWidget* editor = m_editor.data();
    CWnd* window = editor ? CWnd::FromHandle(editor) : nullptr;
    if (!window || m_editedRow < 0) return;
    const QRect label = cellRect(m_editedRow, 0);
    const int wanted = editor->fontMetrics().horizontalAdvance(editor->text()) + 10;
    const int boxWidth = std::max(label.width(), std::min(wanted, width() - label.left()));
    window->SetWindowPos(nullptr, label.left(), label.top(), boxWidth, label.height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void ListViewWidget::endLabelEdit(bool keep, const LabelEditWidget* only) {
    QPointer<LabelEditWidget> editor = m_editor;
    if (!editor || (only && only != editor.data())) return;
    const int row = m_editedRow;
    m_editor = nullptr;
    m_editedRow = -1;
    const QString typed = editor->text();
    // The list takes the focus back from a box that had it, as the platform's does.
    if (editor->hasFocus()) m_view->setFocus(Qt::OtherFocusReason);
    QPointer<ListViewWidget> alive(this);
    std::wstring text = typed.toStdWString();
    const LRESULT accepted = notifyLabel(LVN_ENDLABELEDIT, row, keep ? text.data() : nullptr);
    if (alive && keep && accepted && row >= 0 && row < m_model.rowCount()) setItemText(row, 0, typed);
    if (editor) {
        editor->hide();
        editor->deleteLater();
    }
}

bool ListViewWidget::clickOpensEdit(int row, QPoint at) const {
    return (m_style & LVS_EDITLABELS) && row >= 0 && m_view->visualRect(m_model.index(row, 0)).contains(at);
}

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
    if (watched == m_view && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        showSelectionAlways((m_style & LVS_SHOWSELALWAYS) != 0);
    return QWidget::eventFilter(watched, event);
}

bool ListViewWidget::mouseEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    // The control's tip stands for all of its rows.
    if (type == QEvent::ToolTip) {
        const QString tip = toolTipText(this);
        if (tip.isEmpty()) return false;
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
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
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        endLabelEdit(true);
        if (!alive) return true;
    }
    if (type == QEvent::MouseButtonPress) {
        m_view->setFocus(Qt::MouseFocusReason);
        if (mouse->button() == Qt::LeftButton) {
            m_pressed = row;
            m_pressAt = at;
            const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
            m_pressedWasSelected = row >= 0 && (m_model.items[static_cast<std::size_t>(row)].state & both) == both;
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
        const int pressed = m_pressed;
        if (mouse->button() == Qt::LeftButton && pressed != -2) notify(NM_CLICK, row, toSelf(at));
        else if (mouse->button() == Qt::RightButton) notify(NM_RCLICK, row, toSelf(at));
        if (!alive) return true;
        m_pressed = -1;
        // A click on the label of the row that was selected already edits it.
        if (mouse->button() == Qt::LeftButton && pressed == row && m_pressedWasSelected && !m_editor &&
            clickOpensEdit(row, at))
            beginLabelEdit(row);
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

// Keys go to the window object first; the dialog keeps Tab, Enter and Escape unless the
// object asks for them.
bool ListViewWidget::keyEvent(QEvent* event) {
    auto* key = static_cast<QKeyEvent*>(event);
    const UINT vk = virtualKeyOf(*key);
    CWnd* self = CWnd::FromHandle(this);
    if (!self) return true;
    QPointer<ListViewWidget> alive(this);
    const HeldKeys held(key->modifiers());
    if (vk != 0) {
        const auto code = static_cast<UINT>(self->SendMessage(WM_GETDLGCODE, vk));
        if (!alive) return true;
        if (vk == VK_TAB && !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) return false;
        if ((vk == VK_RETURN || vk == VK_ESCAPE) && !(code & DLGC_WANTALLKEYS)) return false;
        self->SendMessage(WM_KEYDOWN, vk, MAKELPARAM(1, 0));
        if (!alive) return true;
    }
    // A printable character follows its key as WM_CHAR, as the platform translates it.
    const QString text = key->text();
    const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!command && text.size() == 1 && text.front().isPrint()) self->SendMessage(WM_CHAR, text.front().unicode(), 1);
    return true;
}

// The platform's incremental search: characters typed in quick succession spell the
// start of a label, looked for from the focused row on; one character typed again
// moves on to the next row starting with it. A pause longer than the interval starts
// a new search.
void ListViewWidget::typeAhead(QChar typed) {
    constexpr qint64 kIntervalMs = 1000;
    if (!m_typedClock.isValid() || m_typedClock.elapsed() > kIntervalMs) m_typed.clear();
    m_typedClock.start();
    m_typed += typed;
    const int count = static_cast<int>(m_model.items.size());
    if (count == 0) return;
    int current = -1;
    for (int i = 0; i < count; ++i)
        if (m_model.items[static_cast<std::size_t>(i)].state & LVIS_FOCUSED) current = i;
    const bool repeated = m_typed.count(m_typed.front()) == m_typed.size();
    const QString wanted = repeated ? QString(m_typed.front()) : m_typed;
    // A new search starts after the focused row; a longer one may stay on it.
    const int first = repeated || current < 0 ? current + 1 : current;
    for (int step = 0; step < count; ++step) {
        const int row = (first + step + count) % count;
        const auto& texts = m_model.items[static_cast<std::size_t>(row)].texts;
        if (texts.empty() || !texts.front().startsWith(wanted, Qt::CaseInsensitive)) continue;
        QPointer<ListViewWidget> alive(this);
        selectOnly(row);
        if (alive) m_view->scrollTo(m_model.index(row, 0));
        return;
    }
}

void ListViewWidget::resetTypeAhead() {
    m_typed.clear();
    m_typedClock.invalidate();
}

// Rows a page holds in the view as it is now: the rows that fit its height, times the
// pictures side by side in icon mode.
int ListViewWidget::rowsPerPage() const {
    const QModelIndex first = m_model.index(0, 0);
    const QRect item = first.isValid() ? m_view->visualRect(first) : QRect();
    if (item.height() <= 0) return 1;
    const int down = std::max(1, m_view->viewport()->height() / item.height());
    const int across = m_model.iconMode ? std::max(1, m_view->viewport()->width() / std::max(1, item.width())) : 1;
    return down * across;
}

LRESULT ListViewWidget::defaultMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (message == WM_KEYDOWN) defaultKey(static_cast<UINT>(wParam));
    if (message == WM_CHAR) typeAhead(QChar(static_cast<char16_t>(wParam)));
    return 0;
}

void ListViewWidget::defaultKey(UINT vk) {
    QPointer<ListViewWidget> alive(this);
    CWnd* self = CWnd::FromHandle(this);
    if (CWnd* parent = self ? self->GetParent() : nullptr) {
        NMLVKEYDOWN n;
        n.hdr = {this, static_cast<UINT_PTR>(self->GetDlgCtrlID()), LVN_KEYDOWN};
        n.wVKey = static_cast<std::uint16_t>(vk);
        parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(self->GetDlgCtrlID()), reinterpret_cast<LPARAM>(&n));
        if (!alive) return;
    }
    const int count = static_cast<int>(m_model.items.size());
    int current = -1;
    for (int i = 0; i < count; ++i)
        if (m_model.items[static_cast<std::size_t>(i)].state & LVIS_FOCUSED) current = i;
    int next = -1;
    switch (vk) {
        case VK_F2:
            if ((m_style & LVS_EDITLABELS) && current >= 0) beginLabelEdit(current);
            return;
        case VK_UP: next = std::max(0, current - 1); break;
        case VK_DOWN: next = std::min(count - 1, current + 1); break;
        case VK_HOME: next = 0; break;
        case VK_END: next = count - 1; break;
        case VK_PRIOR: next = std::max(0, current - rowsPerPage()); break;
        case VK_NEXT: next = std::min(count - 1, current + rowsPerPage()); break;
        default: return;
    }
    if (count > 0 && next >= 0) {
        selectOnly(next);
        if (alive) m_view->scrollTo(m_model.index(next, 0));
    }
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
