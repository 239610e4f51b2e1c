#pragma once

#include "ui/framework/headerctrl.h"
#include "ui/framework/listview.h"
#include "ui/framework/wnd.h"

#include <string>

// The list view as window code reaches it.
class CListCtrl : public CWnd {
public:
    DWORD SetExtendedStyle(DWORD style);
    DWORD GetExtendedStyle() const { return m_extended; }
    int InsertColumn(int column, LPCTSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    int InsertItem(int index, LPCTSTR text);
    int InsertItem(int index, LPCTSTR text, int image);
    int InsertItem(const LVITEM* item);
    BOOL SetItemText(int index, int subItem, LPCTSTR text);
    std::wstring GetItemText(int index, int subItem) const;
    BOOL DeleteItem(int index);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    BOOL SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const;
    int GetNextItem(int start, int flags) const;
    int GetSelectionMark() const;
    int SetSelectionMark(int index);
    BOOL SetItemData(int index, LPARAM data);
    LPARAM GetItemData(int index) const;
    // Answers the previous list of that kind (not owned; may be null).
    CImageList* SetImageList(CImageList* images, int which);
    int HitTest(CPoint at, UINT* flags = nullptr) const;
    BOOL EnsureVisible(int index, BOOL partialOk);
    void SetRedraw(BOOL redraw = TRUE);

    // Label editing (LVS_EDITLABELS): the edit box, null when none is open.
    CEdit* EditLabel(int index);
    CEdit* GetEditControl() const;
    // Ends the open edit discarding its text.
    BOOL CancelEditLabel();
    // Rectangles in the list's client coordinates: LVIR_LABEL a cell's label, LVIR_BOUNDS
    // the cell (the whole row for subItem 0).
    BOOL GetSubItemRect(int index, int subItem, int area, CRect& rect) const;
    BOOL GetItemRect(int index, LPRECT rect, UINT area) const;
    // order[i] is the column shown i-th from the left.
    BOOL SetColumnOrderArray(int count, LPINT order);
    BOOL GetColumnOrderArray(LPINT order, int count = -1) const;
    CHeaderCtrl* GetHeaderCtrl();
    // Sorts the rows with the comparison: SortItems hands it the rows' item data,
    // SortItemsEx their indices before the sort. Rows that compare equal keep their order.
    BOOL SortItems(PFNLVCOMPARE compare, LPARAM data);
    BOOL SortItemsEx(PFNLVCOMPARE compare, LPARAM data);

protected:
    void styleChanged() override;

private:
    hostui::ListViewWidget* list() const;
    BOOL sortRows(PFNLVCOMPARE compare, LPARAM data, bool byIndex);

    CHeaderCtrl m_header;
    DWORD m_extended = 0;
    CImageList* m_normal = nullptr;
    CImageList* m_small = nullptr;
};
