#pragma once

#include "fieldtab/propctrl.h"
#include "fieldtab/propertymap.h"
#include "frame/hostapi.h"

// The Field Manager page of the palette (template 105): a working list of custom drawing
// properties as key/value rows, filled and written only by the actions of its drop-down
// (exchange with drawings and the field database, the key dialog), edited in place, and
// dragged onto the drawing as fields. The list lives only in the window.
class CFieldManagerTabDlg : public CAcUiDialog {
public:
    // The drop-down's entries, in their order.
    enum Action {
        getFromThisDrawing, saveToThisDrawing, getFromOtherDrawing, saveToOtherDrawing, clearThisDrawing,
        clearOtherDrawing, saveToDatabase, getFromDatabase, clearGrid, addKey, deleteKey, editKey, actionCount
    };

    CFieldManagerTabDlg();

    // The "Insert as" radio button chosen when the last drag started: 0 MText, 1 leader,
    // 2 spline leader.
    int insertMode = 0;
    // The direction of the next column sort, shared by both columns.
    bool sortAscendingNext = false;

    // Puts the pairs whose keys the list lacks at the top, in the map's order, key and
    // value trimmed. A key is tested as it came, without regard to case (sameKey); keys
    // already there and keys of blanks alone are passed over.
    void mergeProperties(const PropertyMap& map);
    PropertyMap collectProperties() const;
    // The rows as (key, value), top to bottom.
    PropertyRows collectRows() const;
    // Runs one entry of the drop-down; the page has the focus afterwards.
    void runAction(int action);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void DoDataExchange(CDataExchange* exchange) override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;

private:
    void initPropertyList();
    void dispatch(int action);
    void addRow();
    void editRow();
    void deleteRow();
    // A key from the key dialog that the list can take, as typed: not empty and not taken
    // (sameKey) by a row other than except. Tells the user why not.
    bool acceptableKey(const std::wstring& key, int except) const;
    void sortByColumn(int column);
    void beginDrag(int row);
    BOOL toolTipText(NMTTDISPINFO& info);

    CPropCtrl m_propertyList;
    CComboBox m_actions;
    CToolTipCtrl m_tips;
};
