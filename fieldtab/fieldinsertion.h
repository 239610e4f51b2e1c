#pragma once

#include "frame/hostapi.h"

#include <string>

// Places a live field showing the custom property `key` in the current drawing, after a
// row of the property list was dropped on the drawing view: locks the document, moves
// the focus to the view and runs the placement for insertMode (0 MText, 1 leader,
// 2 spline leader; anything else places nothing). The parent owns message boxes.
void placeField(CWnd* parent, const std::wstring& key, int insertMode);

// The field code of the custom property key: %<\AcVar CustomDP.key>%, the key verbatim.
std::wstring fieldCodeFor(const std::wstring& key);

// Whether key fits in a field code: ">%" in it would end the code early.
bool isFieldKey(const std::wstring& key);
