#pragma once

#include "ui/framework/wnd.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A dialog built from a template of the module whose resources are current: a modeless
// child page (Create) or a modal window (DoModal). Controls are found by their ids.
// Order of creation: the dialog window, WM_CREATE, the controls, OnInitDialog.
class CAdUiBaseDialog : public CWnd {
public:
    explicit CAdUiBaseDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE resources = nullptr);
    ~CAdUiBaseDialog() override;

    // A modeless window from the template, as a child of parent; FALSE when the template
    // is not found or creation was refused.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Runs the dialog modally; the button that ended it, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    // The name the host keeps the dialog's position under; set before initialisation.
    void SetDialogName(LPCTSTR name) { m_dialogName = name ? name : L""; }
    const std::wstring& dialogName() const { return m_dialogName; }

    // Told once the dialog has ended, so that a modal loop can stop; empty to clear.
    void setEndListener(std::function<void()> listener) { m_endListener = std::move(listener); }

    UINT templateId() const { return m_templateId; }
    bool isModalRunning() const { return m_modalRunning; }
    bool hasEnded() const { return m_ended; }
    int result() const { return m_result; }
    // Every dialog window alive, oldest first, for scripts to find by template.
    static const std::vector<CAdUiBaseDialog*>& liveDialogs();

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // The host's keep-focus query; a dialog that answers TRUE keeps the keyboard focus.
    virtual LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    bool build(QWidget* widget);
    void restorePosition();
    void savePosition();

    UINT m_templateId;
    CWnd* m_parent;
    std::wstring m_dialogName;
    std::vector<std::unique_ptr<CWnd>> m_controls;
    CFont m_templateFont;
    bool m_modalRunning = false;
    bool m_ended = false;
    int m_result = IDCANCEL;
    std::function<void()> m_endListener;
};

class CAdUiDialog : public CAdUiBaseDialog {
public:
    using CAdUiBaseDialog::CAdUiBaseDialog;
};

class CAcUiDialog : public CAdUiDialog {
public:
    using CAdUiDialog::CAdUiDialog;
};
