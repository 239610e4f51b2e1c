#pragma once

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

// Acts on the windows as a person would for one "@ui" line, except the answers to modal
// windows, which the script's modal driver takes. Answers false with why when the line
// names no such control or action.
bool actOnWindows(const std::vector<UiWord>& words, std::wstring& why);

// Lets the windows handle what the action set off (posted messages, layouts, repaints).
void settleWindows();

// Prints one fact line of "@ui show" to the transcript, on a line of its own.
void printFact(const std::wstring& fact);

}  // namespace hostapp
