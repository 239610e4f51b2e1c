#pragma once

#include "ui/framework/imagelist.h"
#include "ui/framework/wintypes.h"

#include <QAbstractTableModel>

#include <functional>
#include <memory>
#include <vector>

class QAbstractItemView;
class QWidget;

namespace hostui {

// One row of a list view: its texts by column, its picture and its state bits.
struct ListItem {
    std::vector<QString> texts;
    int image = -1;
    bool imageCallback = false;
    UINT state = 0;
    LPARAM data = 0;
};

// The rows of a list view for Qt's views: the list control is their one owner and
// writer; views read them through this model.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void insertItem(int index, ListItem item);
    void removeItem(int index);
    void removeAll();
    // While frozen, rows change without telling the views row by row; thawing tells them
    // once that everything changed.
    void setFrozen(bool frozen);
    bool frozen() const { return m_frozen; }
    void itemsChanged(int first, int last);
    void insertColumn(int index, const QString& heading);
    void setImages(std::shared_ptr<ImageStore> images);

    std::vector<ListItem> items;
    // Answers the picture of a row that asks its parent for it.
    std::function<int(int row)> askImage;
    std::vector<QString> columns;
    std::shared_ptr<ImageStore> images;
    bool iconMode = false;

private:
    bool m_frozen = false;
};

// How the rows look, in one place: the view over the model, set up for the list's
// style: pictures with their labels under them in icon mode (LVS_ICON), a table with a
// column per heading in report mode. The view belongs to parent; it selects nothing of
// its own, the list control does.
QAbstractItemView* makeListView(QWidget* parent, DWORD style, ListModel& model);
// Without LVS_SHOWSELALWAYS the selection is drawn only while the list has the focus:
// hidden, selected rows look as the others do.
void showSelection(QAbstractItemView& view, bool shown);
// Qt's header shows one arrow: the last column with a mark (order: 1 up, -1 down, 0 none).
void showSortMarks(QAbstractItemView& view, const std::vector<int>& marks);

}  // namespace hostui
