#pragma once

#include "frame/hostapi.h"

#include <string>

// The Field Manager's confirmations and errors: a plain message box over the parent,
// without icon, under the host application's caption. Answers the button pressed.
int fieldMessageBox(CWnd* parent, const std::wstring& text, UINT buttons = MB_OK);
