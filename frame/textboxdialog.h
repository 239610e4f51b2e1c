#pragma once

#include "frame/hostapi.h"

#include <string>

// Asks for one line of text under a caption (template 127). The caller sets the caption
// line and may set the text; after OK the text holds what was typed, after Cancel it
// keeps what it held.
class TextBoxDialog : public CAcUiDialog {
public:
    explicit TextBoxDialog(CWnd* parent = nullptr);

    std::wstring m_text;
    std::wstring m_captionLine;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;

private:
    CStatic m_captionControl;
    CAcUiStringEdit m_edit;
};
