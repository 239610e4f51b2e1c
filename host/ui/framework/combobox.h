#pragma once

#include "ui/framework/wnd.h"

#include <string>

constexpr int CB_ERR = -1;

// A drop-down list of texts, with or without an edit field (CBS_DROPDOWN or
// CBS_DROPDOWNLIST). Choosing an entry tells the parent CBN_SELCHANGE and CBN_SELENDOK,
// also when the entry was shown already; typing into the edit field tells nothing.
class CComboBox : public CWnd {
public:
    // Answers the new entry's index, or CB_ERR.
    int AddString(LPCTSTR text);
    int InsertString(int index, LPCTSTR text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    std::wstring itemText(int index) const;
};
