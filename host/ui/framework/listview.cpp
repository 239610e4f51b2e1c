#include "ui/framework/listview.h"

#include "ui/framework/keymessages.h"
#include "ui/framework/labeledit.h"
#include "ui/framework/tooltip.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cwchar>

namespace hostui {

// --- the control ---

ListViewWidget::ListViewWidget(QWidget* parent, DWORD style) : QWidget(parent), m_style(style) {
    m_sortAscending = (style & LVS_SORTASCENDING) != 0;
    m_view = makeListView(this, style, m_model);
    if (auto* table = qobject_cast<QTableView*>(m_view))
        // The header flips its own arrow on a click; the list shows the marks its owner set.
        connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
            QPointer<ListViewWidget> alive(this);
            notify(LVN_COLUMNCLICK, -1, {}, 0, 0, section);
            if (alive) showSortMarks(*m_view, m_sortMarks);
        });
    m_model.askImage = [this](int row) { return imageOf(row); };
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

void ListViewWidget::showSelectionAlways(bool always) {
    showSelection(*m_view, always || m_view->hasFocus() || (m_editor && m_editor->hasFocus()));
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
    showSortMarks(*m_view, m_sortMarks);
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
    if (const auto typed = charMessageOf(*key)) self->SendMessage(WM_CHAR, *typed, 1);
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
