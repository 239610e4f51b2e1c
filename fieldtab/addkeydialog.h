#pragma once

#include "frame/hostapi.h"

#include <string>

// Asks for a key and its value (template 121, "Key Dialog"). The caller sets the texts
// the edits start with; after OK they hold what the edits hold, after Cancel they keep
// what they held.
class AddKeyDialog : public CAcUiDialog {
public:
    explicit AddKeyDialog(CWnd* parent = nullptr);

    std::wstring key;
    std::wstring value;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;

private:
    CAcUiStringEdit m_keyEdit;
    CAcUiStringEdit m_valueEdit;
};
