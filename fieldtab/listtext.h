#pragma once

#include "frame/hostapi.h"

#include <string>

// The texts of the Field Manager's lists: the property list and the Table Browser show
// keys, values and set names trimmed, and sort their rows by a column's text.
std::wstring trimmed(const std::wstring& text);

// Sorts the rows by the text of one column, compared without regard to case, and shows
// the direction as the arrow of that column's header alone; rows keep their selection.
void sortByColumnText(CListCtrl& list, int column, bool ascending);
