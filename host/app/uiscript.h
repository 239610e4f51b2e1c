#pragma once

#include "app/scriptverbs.h"
#include "ed/inputsource.h"
#include "ui/framework/modal.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace hostapp {

// A script that works the windows. Its "@ui" lines act as a person's mouse and keyboard
// would, each one synchronously: when what it sets off prompts on the command line,
// the script's next lines answer; when it opens a modal window (a message box, an
// alert, a file dialog, a dialog), that window takes the script's next lines, which
// must be "@ui" lines, until it closes. A line that cannot act ends the run through the
// editor's failure (exit status 3) with a message naming the line.
//
// While it lives, it is the modal driver of the window layer.
class UiScript : public hosted::InputSource, public hostui::ModalDriver, private ScriptModals {
public:
    explicit UiScript(hosted::InputSource& lines);
    ~UiScript() override;
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;

    // The next line that is not a "@ui" line, every "@ui" line before it acted on.
    using InputSource::next;
    std::optional<hosted::InputLine> next(hosted::Request request) override;
    std::wstring name() const override { return m_lines.name(); }
    // A menu item chosen by a "@ui menu" line types its macro: the lines come before the
    // script's next ones, numbered as that "@ui" line. Refused while a modal window is
    // open, as a person cannot reach the main window's menus then.
    bool typeAhead(const std::vector<hosted::InputLine>& lines) override;

    void runDialog(CAdUiBaseDialog& dialog) override;
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) override;
    std::optional<std::wstring> chooseFile(const hostui::FileRequest& request) override;
    int popupMenu(const std::vector<std::wstring>& entries, int x, int y) override;

private:
    // An open message box or file dialog, waiting for "@ui answer".
    struct Waiting {
        bool fileDialog = false;
        const std::vector<std::wstring>* menu = nullptr;  // an open popup menu's entries
        int chosen = -1;
        UINT type = 0;
        std::optional<std::wstring> answer;
        bool answered = false;
    };
    // One modal window on the stack: a dialog or a waiting box.
    struct Modal {
        CAdUiBaseDialog* dialog = nullptr;
        Waiting* waiting = nullptr;
    };

    void act(const hosted::InputLine& line);
    // The windows a person could reach now: the innermost modal window alone, if any.
    ModalReach reach() const override;
    bool answer(const UiWord& word, std::wstring& why) override;
    bool popupMenuOpen() const override;
    bool choosePopupEntry(const std::vector<UiWord>& words, std::wstring& why) override;
    // Feeds lines to the innermost modal window until done() holds.
    template <class Done>
    void pump(Done done, const wchar_t* waitingFor);

    hosted::InputSource& m_lines;
    std::vector<Modal> m_modals;
    std::deque<hosted::InputLine> m_typed;
    int m_actingLine = 0;  // the number of the "@ui" line being acted on
    bool m_typingRefused = false;
};

}  // namespace hostapp
