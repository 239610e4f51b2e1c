#pragma once

#include "adscodes.h"
#include "inputsource.h"

#include "../ge/point3d.h"

#include <string>

namespace hosted {

struct PointAnswer {
    AcGePoint3d point;
    double aperture = 0.0;  // as InputLine::aperture
    bool sample = false;    // as InputLine::sample
};

// Takes one point answer for the editor requests that read a point line of their own
// (points, picks, drags): RTNORM with the point, RTNONE for an empty answer, RTCAN on
// Escape and once the editor has failed. A line that is no point fails the editor, with
// "expected" naming what was wanted, and answers RTCAN.
int askPoint(const ACHAR* prompt, const wchar_t* expected, Request request, PointAnswer& answer);

// A point as a person's click gives it: "x,y" (",z" only when z is not 0), each number
// the shortest text that reads back as the same double, whatever the locale.
std::wstring pointText(const AcGePoint3d& point);

}  // namespace hosted
