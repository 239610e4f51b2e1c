#pragma once

#include "ui/framework/controls.h"
#include "ui/framework/imagelist.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/wnd.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QAbstractItemView;

// List-view notifications, states and flags, with the platform's names and values.
constexpr UINT LVN_ITEMCHANGED = static_cast<UINT>(-101), LVN_COLUMNCLICK = static_cast<UINT>(-108),
               LVN_BEGINDRAG = static_cast<UINT>(-109), LVN_KEYDOWN = static_cast<UINT>(-155),
               LVN_BEGINLABELEDIT = static_cast<UINT>(-175), LVN_ENDLABELEDIT = static_cast<UINT>(-176),
               LVN_GETDISPINFO = static_cast<UINT>(-177);
constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2;
constexpr UINT LVIF_TEXT = 0x1, LVIF_IMAGE = 0x2, LVIF_PARAM = 0x4, LVIF_STATE = 0x8, LVIF_DI_SETITEM = 0x1000;
// A row inserted with this image asks its parent for it (LVN_GETDISPINFO) when it is
// first shown; an answer with LVIF_DI_SETITEM is kept, so the question is not asked again.
constexpr int I_IMAGECALLBACK = -1;
constexpr int LVSIL_NORMAL = 0, LVSIL_SMALL = 1;
constexpr int LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2;
constexpr DWORD LVS_EX_GRIDLINES = 0x1, LVS_EX_FULLROWSELECT = 0x20;
constexpr int LVCFMT_LEFT = 0x0;
constexpr int LVHT_ONITEM = 0xE;
constexpr UINT LVIR_BOUNDS = 0, LVIR_ICON = 1, LVIR_LABEL = 2;
// Compares two rows: by their item data (SortItems) or their indices (SortItemsEx).
using PFNLVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM data);

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0, uOldState = 0, uChanged = 0;
    CPoint ptAction;
    LPARAM lParam = 0;
};
using LPNMLISTVIEW = NMLISTVIEW*;
using NM_LISTVIEW = NMLISTVIEW;

// A click's notification: a list-view notification with the keys held.
struct NMITEMACTIVATE : NMLISTVIEW {
    UINT uKeyFlags = 0;
};
using LPNMITEMACTIVATE = NMITEMACTIVATE*;

struct NMLVKEYDOWN {
    NMHDR hdr;
    std::uint16_t wVKey = 0;
    UINT flags = 0;
};

struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0, stateMask = 0;
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
};

struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};

namespace hostui {

class LabelEditWidget;

// The list view control: rows in report mode (a table with a column per heading) or
// pictures with their labels in icon mode. It keeps the platform's rules: a left or a
// right click selects the row under the pointer and makes it the selection mark, a
// click on empty space clears the selection, every state change is told to the parent
// as LVN_ITEMCHANGED, a press dragged further than the drag distance starts a drag
// (LVN_BEGINDRAG), and clicks are told as NM_CLICK, NM_DBLCLK and NM_RCLICK. Keys go
// through the control's window object as WM_GETDLGCODE and WM_KEYDOWN; what the object
// passes on moves the selection and tells the parent LVN_KEYDOWN. With LVS_EDITLABELS,
// F2 or a click on the label of the row that was selected already opens an edit box over
// the label (LVN_BEGINLABELEDIT, LVN_ENDLABELEDIT); a click, a sort or a change of the
// rows ends an open one first, keeping its text.
class ListViewWidget : public QWidget, public DefaultHandling {
    Q_OBJECT
public:
    ListViewWidget(QWidget* parent, DWORD style);
    ~ListViewWidget() override;

    DWORD style() const { return m_style; }
    void setStyleBits(DWORD style);
    LRESULT defaultMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The open label edit, or null.
    LabelEditWidget* labelEditor() const;
    int editedRow() const { return m_editedRow; }
    // Selects the row and opens the edit box over its label, unless the parent refuses
    // it; null then, or for a row that does not exist.
    LabelEditWidget* beginLabelEdit(int row);
    // Ends the open edit (only that one, when given), telling the parent.
    void endLabelEdit(bool keep, const LabelEditWidget* only = nullptr);
    // A cell's rectangle in this widget's coordinates, or the whole row's for column -1.
    QRect cellRect(int row, int column) const;
    // Puts the rows into this order of their present indices.
    void reorder(const std::vector<int>& order);

    // A row's picture index, asked of the parent for a row that asks for it; -1 for none.
    int imageOf(int row);

    ListModel& model() { return m_model; }
    const ListModel& model() const { return m_model; }
    QAbstractItemView* view() const { return m_view; }
    bool iconMode() const { return m_model.iconMode; }
    void setGridLines(bool on);
    void setHeaderVisible(bool visible);
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;

    int insertItem(int index, ListItem item);
    bool removeItem(int index);
    void removeAll();
    // Sets the state bits under mask, telling the parent of a change.
    void setState(int index, UINT state, UINT mask);
    int selectionMark() const { return m_mark; }
    void setSelectionMark(int index) { m_mark = index; }
    void setItemText(int index, int column, const QString& text);
    void setImages(std::shared_ptr<ImageStore> images);
    // Off while a long list is filled: the view is told once when it is turned on again.
    void setRedraw(bool on);
    void setSortMark(int column, int order);  // order: 1 up, -1 down, 0 none
    int sortMark(int column) const;
    // The row under a point of this widget, or -1.
    int hitTest(QPoint at) const;
    // Where the row lies in the view's viewport, scrolled into view first.
    QRect itemRect(int index);
    // The widget that takes the mouse for the rows: the view's viewport.
    QWidget* mouseTarget() const;
    // Forgets the characters typed so far, as a pause does: the next one starts a new search.
    void resetTypeAhead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void notify(UINT code, int item, QPoint at, UINT newState = 0, UINT oldState = 0, int subItem = 0);
    LRESULT notifyLabel(UINT code, int row, wchar_t* text);
    void selectOnly(int index);
    bool mouseEvent(QEvent* event);
    bool keyEvent(QEvent* event);
    void defaultKey(UINT virtualKey);
    void typeAhead(QChar typed);
    int rowsPerPage() const;
    bool clickOpensEdit(int row, QPoint at) const;
    void placeLabelEditor();
    void showSelectionAlways(bool always);
    QPoint toSelf(QPoint viewportPoint) const;

    ListModel m_model;
    QAbstractItemView* m_view = nullptr;
    DWORD m_style;
    int m_mark = -1;
    int m_pressed = -1;
    QPoint m_pressAt;
    bool m_pressedWasSelected = false;
    bool m_sortAscending = false;
    std::vector<int> m_sortMarks;
    QPointer<LabelEditWidget> m_editor;
    int m_editedRow = -1;
    QString m_typed;
    QElapsedTimer m_typedClock;
};

}  // namespace hostui
