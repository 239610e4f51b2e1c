#pragma once

#include "app/exitstatus.h"
#include "app/uicontrols.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace hostapp {

// One word of an "@" line: quoted text keeps its blanks.
struct UiWord {
    std::wstring text;
    bool quoted = false;
};

// Splits the words of a line; false when a quote is not closed.
bool splitUiWords(const std::wstring& line, std::vector<UiWord>& words);

// Whether a script line is a "@ui" line, which works the windows.
bool isUiLine(std::wstring_view line);

// What a person can reach while modal windows are open: nothing but the innermost one.
struct ModalReach {
    bool open = false;                 // a modal window is open
    const QWidget* window = nullptr;   // the innermost dialog; null for a box or a file dialog
};

// The modal windows a script holds open, which "@ui answer" and "@ui menu" answer.
class ScriptModals {
public:
    virtual ~ScriptModals() = default;
    virtual ModalReach reach() const = 0;
    // Presses a button of the innermost message box or dialog, or chooses a path in (or
    // cancels) the open file dialog or popup menu.
    virtual bool answer(const UiWord& word, std::wstring& why) = 0;
    // A popup menu of a window is open and waits for "@ui menu" to choose an entry.
    virtual bool popupMenuOpen() const = 0;
    virtual bool choosePopupEntry(const std::vector<UiWord>& words, std::wstring& why) = 0;
};

// One "@" line being acted on.
struct VerbCall {
    std::vector<UiWord> words;     // the verb first, then its arguments
    Control control;               // the control it names, when the verb takes one
    ScriptModals* modals = nullptr;  // the script's modal windows; null outside a script
    std::wstring why;              // why it could not act
    // Whether the windows settle after it; an answer lets the waiting caller go on first.
    bool settle = true;
};

using VerbAction = bool (*)(VerbCall& call);

// What a verb needs before it acts.
enum class VerbTarget {
    none,           // no control
    control,        // the control named after the verb
    controlOrMain,  // a control when one is named, else the main window
};

// How a verb stands to an open modal window, as a person's hand would.
enum class VerbReach {
    inside,   // works its control: only one inside the innermost modal window
    looks,    // only looks: reaches every window
    answers,  // answers the open modal window itself
    mainOnly, // works the main window, which a modal window blocks
};

// Every "@" line of a script: "@open" and "@save" at the command prompt (file lines),
// and "@ui VERB ..." anywhere (window lines).
struct ScriptVerb {
    std::wstring_view name;  // "open", "save"; "click", "show", … after "@ui"
    bool fileLine;
    VerbTarget target;
    VerbReach reach;
    VerbAction action;
};

std::span<const ScriptVerb> scriptVerbs();

// Acts on the windows for the words after "@ui" as a person would. Answers false with
// why when the line names no such verb or control, or a window behind an open modal window.
bool actOnUiLine(const std::vector<UiWord>& words, ScriptModals* modals, std::wstring& why);

// Runs a file line ("@open PATH", "@save [PATH]"); done, or the status with message.
ExitStatus runFileLine(const std::wstring& line, std::wstring& message);

// Lets the windows handle what an action set off (posted messages, layouts, repaints).
void settleWindows();

}  // namespace hostapp
