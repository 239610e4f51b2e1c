#pragma once

#include "../rx/adesk.h"

#include <cstddef>

// A text answer with spaces allowed when cronly is non-zero; at most bufLen - 1
// characters are taken (a longer answer is refused as input the prompt cannot take).
int acedGetFullString(int cronly, const ACHAR* prompt, ACHAR* result, std::size_t bufLen);
// A message the user acknowledges. Without a display it is written to the command line.
int acedAlert(const ACHAR* message);
// Asks the display to show the drawing's current state.
void acedUpdateDisplay();

namespace hosted {
// The host's display hook (the GUI's repaint); none without a display.
void setDisplayUpdater(void (*update)());
// Where alerts go when the host has windows: a modal box the user acknowledges. Without
// one an alert is written to the command line.
void setAlertHandler(void (*alert)(const ACHAR* message));
}
