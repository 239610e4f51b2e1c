#pragma once

#include "ed/filerequest.h"
#include "ui/framework/wintypes.h"

#include <optional>
#include <string>
#include <vector>

class CAdUiBaseDialog;

namespace hostui {

struct FileRequest {
    std::wstring title;
    std::wstring filter;      // "Drawing files|*.DWG||" form
    std::wstring defaultExtension;
    std::wstring initialPath;
    bool open = true;
};

// Runs the modal windows: message boxes, file dialogs and modal dialogs. On a desktop
// a person answers them; in a script the script's next lines do. Every call returns
// once the window has its answer.
class ModalDriver {
public:
    virtual ~ModalDriver() = default;
    // The dialog is shown; runs until it has ended (EndDialog).
    virtual void runDialog(CAdUiBaseDialog& dialog) = 0;
    // Answers IDOK, IDCANCEL, IDYES or IDNO.
    virtual int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) = 0;
    // The chosen path, or nullopt when cancelled.
    virtual std::optional<std::wstring> chooseFile(const FileRequest& request) = 0;
    // A popup menu at a screen point; entries with empty labels are separators. Answers
    // the chosen entry's index, or -1 when the menu was dismissed.
    // A driver without menus dismisses them.
    virtual int popupMenu(const std::vector<std::wstring>& entries, int x, int y) {
        (void)entries, (void)x, (void)y;
        return -1;
    }
};

// A dialog that ends itself on a timer (a window shown for a moment while it works)
// needs no answer: while it has a timer running, this runs the event loop for it until
// it has ended or its timers have all stopped. Answers whether it has ended.
bool runWhileTimed(CAdUiBaseDialog& dialog);

// The driver in use: the desktop driver unless a script driver was set. Not owned.
ModalDriver& modalDriver();
void setModalDriver(ModalDriver* driver);

// The host application's name, the caption of its alerts and message boxes.
const wchar_t* applicationName();

// Parent for modal windows: the main window when there is one.
QWidget* modalParent();

// The editor's file requests (acedGetFileD) as the driver's file dialog, filtered on the
// request's extension; the main frame hands them here while it is set.
std::optional<std::wstring> chooseFileForEditor(const hosted::FileChoice& choice);

}  // namespace hostui

int MessageBoxW(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK);
