#pragma once

class QWidget;

#include <string>
#include <vector>

namespace hostapp {

// One word of a "@ui" line: quoted text keeps its blanks.
struct UiWord {
    std::wstring text;
    bool quoted = false;
};

// Splits the words after "@ui"; false when a quote is not closed.
bool splitUiWords(const std::wstring& line, std::vector<UiWord>& words);

// What a person can reach while modal windows are open: nothing but the innermost one.
// A line that only looks (show, tip, shot) reaches every window.
struct ModalReach {
    bool open = false;                 // a modal window is open
    const QWidget* window = nullptr;   // the innermost dialog; null for a box or a file dialog
};

// Acts on the windows as a person would for one "@ui" line, except the answers to modal
// windows, which the script's modal driver takes. Answers false with why when the line
// names no such control or action, or a window behind an open modal window.
bool actOnWindows(const std::vector<UiWord>& words, std::wstring& why, const ModalReach& reach = {});

// Lets the windows handle what the action set off (posted messages, layouts, repaints).
void settleWindows();

// Prints one fact line of "@ui show" to the transcript, on a line of its own.
void printFact(const std::wstring& fact);

}  // namespace hostapp
