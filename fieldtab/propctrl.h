#pragma once

#include "fieldtab/propedit.h"
#include "frame/hostapi.h"

#include <string>

// The Field Manager's key/value list. Each row's label (column 0) is the value, the only
// text edited in place; column 1 holds the key. A click on a row edits its value at once;
// Tab and Down move the edit to the next row (past the last, to the first), Shift+Tab
// and Up to the previous one (before the first, to the last), from the list or from the
// edit box.
class CPropCtrl : public CListCtrl {
public:
    static constexpr int valueColumn = 0, keyColumn = 1;

    std::wstring keyAt(int row) const { return GetItemText(row, keyColumn); }
    std::wstring valueAt(int row) const { return GetItemText(row, valueColumn); }
    // The highest-numbered selected row, or -1.
    int selectedRow() const;
    // The row whose key equals key without regard to letter case, other than except; -1.
    int findKey(const std::wstring& key, int except = -1) const;
    // Ends an open in-place edit, keeping its text, as Enter does.
    void finishEdit();

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    UINT OnGetDlgCode() override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;

private:
    void editNeighbour(int step);
    void beginEdit(const NMLVDISPINFO& info, LRESULT* result);
    void endEdit(const NMLVDISPINFO& info, LRESULT* result);

    CPropEdit m_edit;
};

// Key comparison of the property list: the same text without regard to letter case.
bool sameKey(const std::wstring& a, const std::wstring& b);
