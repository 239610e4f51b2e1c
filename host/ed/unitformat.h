#pragma once

#include "../rx/adesk.h"
#include "adscodes.h"

#include <cstddef>

// Distances and angles as CAD users type and read them, in the drawing's units.
//
// Linear units: 1 scientific "1.5500E+01", 2 decimal "15.5000", 3 engineering
// 1'-3.5000" (feet and decimal inches), 4 architectural 1'-3 1/2" (feet and fractional
// inches), 5 fractional "15 1/2". Distances are in drawing units, which the feet-and-inch
// units take as inches. Precision is the number of places, or for fractions the
// denominator 2^prec.
//
// Angular units: 0 decimal degrees "45", 1 degrees/minutes/seconds 45d30'15", 2 grads
// "50g", 3 radians "0.7854r", 4 surveyor's bearings "N45d30'E". Angles are in radians,
// counterclockwise from east (the drawing's angle base and direction are not kept).
//
// A unit of -1 is the working drawing's (LUNITS/AUNITS), a precision of -1 its
// precision (LUPREC/AUPREC); without a working drawing the host's defaults (decimal at
// 4 places, degrees at 0). Precision runs from 0 to 8. Every function answers RTNORM,
// or RTERROR for a unit or precision out of range, a null argument, a text that is no
// distance or angle, or a value that does not fit (the text is then emptied, the value
// left alone). No function looks at the process locale.

// Writes a distance. Zeros are never suppressed: "1.0000", 0'-3", 1'-0". A value that
// shows as zero is written without its minus sign. Fractions are reduced ("1/2", not
// "2/4"). A non-finite value, or one too large for the feet-and-inch and fraction units,
// answers RTERROR.
int acdbRToS(double value, int unit, int prec, ACHAR* str, std::size_t size);

// Writes an angle, first brought into [0, 2π) as the drawing shows angles: -90° shows
// as 270, and a value that rounds to a full circle shows as 0. Minutes and seconds are
// not padded (45d0'5"); the levels shown are degrees at precision 0, minutes at 1-2,
// seconds at 3-4 and seconds with prec - 4 decimals at 5-8. A bearing along an axis is
// its letter alone: "E", "N", "W", "S".
int acdbAngToS(double value, int unit, int prec, ACHAR* str, std::size_t size);

// Reads a distance: a decimal or scientific number, a fraction "3/4", a mixed number
// "1-1/2" or "1 1/2", each with an optional sign, and in the feet-and-inch units (3, 4)
// also feet and inches: 1'3.5", 1'-3 1/2", 1' 3, 1', 3". Blanks around are allowed.
int acdbDisToF(const ACHAR* str, int unit, double* value);

// Reads an angle into radians, not brought into [0, 2π): "450" in degrees is 5π/2. A
// plain number is in the unit asked (degrees for units 0, 1 and 4); a number with a
// suffix is in the suffix's unit: 45d30'15" (also with °), "50g", "0.785r". A bearing
// "N45d30'E", "S 12.5 W" (its angle in degrees, at most 90) or a lone "N", "E", "S",
// "W" is read in every unit, into [0, 2π). Letters may be of either case.
int acdbAngToF(const ACHAR* str, int unit, double* value);

template <std::size_t N>
int acdbRToS(double value, int unit, int prec, ACHAR (&str)[N]) {
    return acdbRToS(value, unit, prec, str, N);
}

template <std::size_t N>
int acdbAngToS(double value, int unit, int prec, ACHAR (&str)[N]) {
    return acdbAngToS(value, unit, prec, str, N);
}

namespace hosted {

// The unit settings the functions above take for -1.
struct DrawingUnits {
    int lunits = 2, luprec = 4, aunits = 0, auprec = 0;
};
DrawingUnits workingDrawingUnits();

}  // namespace hosted
