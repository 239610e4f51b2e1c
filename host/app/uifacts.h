#pragma once

#include <string>
#include <vector>

namespace hostapp {

struct Control;
struct UiWord;

// What "@ui show" prints of a control, a dialog, the palette, the view or the main window
// (words[2], when given, names a menu of the main window to list), one fact a line.
void showFacts(const Control& c, const std::vector<UiWord>& words);

// What "@ui tip" prints: the tooltip the pointer resting on the control would show.
void showTip(const Control& c);

// Prints one fact line to the transcript, on a line of its own.
void printFact(const std::wstring& fact);

}  // namespace hostapp
