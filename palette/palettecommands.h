#pragma once

// The palette's two commands and its tear-down at unload.
void marvoltShowPalette();
void marvoltTogglePalette();
void destroyPalette();
