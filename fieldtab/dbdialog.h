#pragma once

#include "frame/hostapi.h"

#include <string>

// The Table Browser (template 136): the property sets saved in "FieldDb.db", one row
// each. OK answers the selected set's name; Delete and Rename act on the file at once.
// It never makes the file.
class DbDialog : public CAcUiDialog {
public:
    explicit DbDialog(CWnd* parent = nullptr);

    // After OK: the selected row's name; without a selection, the name the last Delete
    // or Rename started from (empty after a Delete that dropped its set).
    const std::wstring& chosenName() const { return m_name; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;

private:
    void fillTableList();
    int selectedRow() const;
    int takeSelectedName(std::wstring& path);
    void deleteSelected();
    void renameSelected();
    void sortByName();

    CListCtrl m_tableList;
    std::wstring m_name;
    bool m_sortAscendingNext = false;
};
