#include "ui/framework/listmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QTableView>

#include <algorithm>

namespace hostui {

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

// --- the view's looks ---

namespace {

constexpr DWORD kTypeMask = 0x3;

QAbstractItemView* makeIconView(QWidget* parent) {
    auto* list = new QListView(parent);
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(32, 32));
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    list->setWordWrap(true);
    list->setGridSize(QSize(76, 60));
    list->setFlow(QListView::LeftToRight);
    list->setWrapping(true);
    return list;
}

QAbstractItemView* makeReportView(QWidget* parent, DWORD style) {
    auto* table = new QTableView(parent);
    table->verticalHeader()->hide();
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setSectionsClickable(true);
    table->horizontalHeader()->setVisible((style & LVS_NOCOLUMNHEADER) == 0);
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(parent->font()).height() + 4);
    return table;
}

}  // namespace

QAbstractItemView* makeListView(QWidget* parent, DWORD style, ListModel& model) {
    model.iconMode = (style & kTypeMask) == LVS_ICON;
    QAbstractItemView* view = model.iconMode ? makeIconView(parent) : makeReportView(parent, style);
    view->setModel(&model);
    view->setTabKeyNavigation(false);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return view;
}

void showSelection(QAbstractItemView& view, bool shown) {
    QPalette palette = QApplication::palette(&view);
    if (!shown)
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Highlight, palette.color(group, QPalette::Base));
            palette.setColor(group, QPalette::HighlightedText, palette.color(group, QPalette::Text));
        }
    if (view.palette() != palette) view.setPalette(palette);
}

void showSortMarks(QAbstractItemView& view, const std::vector<int>& marks) {
    auto* table = qobject_cast<QTableView*>(&view);
    if (!table) return;
    int shown = -1;
    for (std::size_t c = 0; c < marks.size(); ++c)
        if (marks[c] != 0) shown = static_cast<int>(c);
    QHeaderView* header = table->horizontalHeader();
    header->setSortIndicatorShown(shown >= 0);
    // Qt draws its ascending order as a downward arrow; the platform's up mark points up.
    if (shown >= 0)
        header->setSortIndicator(shown, marks[static_cast<std::size_t>(shown)] > 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

}  // namespace hostui
