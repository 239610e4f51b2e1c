#pragma once

class CZelDockControlBar;

// The palette's two commands and its tear-down at unload.
void marvoltShowPalette();
void marvoltTogglePalette();
void destroyPalette();

// The one palette of the process; null until the first "marvolt".
CZelDockControlBar* thePalette();
