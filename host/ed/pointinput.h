#pragma once

#include "adscodes.h"

#include "../ge/point3d.h"

namespace hosted {

// Takes one point answer for the editor requests that read a point line of their own
// (picks, drags): RTNORM with the point, RTNONE for an empty answer, RTCAN on Escape
// and once the editor has failed. A line that is no point fails the editor, with
// "expected" naming what was wanted, and answers RTCAN.
int askPoint(const ACHAR* prompt, const wchar_t* expected, AcGePoint3d& point);

}  // namespace hosted
