#pragma once

#include "rx/adesk.h"
#include "ui/framework/wintypes.h"

// Draws the preview stored in a drawing file into the window, over what the window
// shows, scaled to fit its client area (keeping the aspect, centred) on the background
// colour (0x00BBGGRR; null: the window's own background). Answers false and draws
// nothing when the file holds no preview or cannot be read; a picture an earlier call
// drew is then taken away, and what the window itself shows is seen again.
//
// The picture lies on a child widget of the window named "hostui.preview", which
// follows the window's size and lets the mouse through to it.
bool acdbDisplayPreviewFromDwg(const ACHAR* path, HWND window, const Adesk::UInt32* bgColor = nullptr);
