#pragma once

#include <string>
#include <string_view>

// Every number the host and the module read from text or write as text goes through
// these. They never look at the process locale: a window toolkit sets it from the
// environment at start-up, and under a comma-decimal locale strtod and printf would
// read and write "0,5" where drawing files, scripts and transcripts mean 0.5.
namespace hostrx {

// The shortest text that reads back as exactly this value ("0.1", not
// "0.10000000000000001"), always spelled as a real: a whole number keeps ".0", and -0
// is written as "0.0". Infinities and NaN come out as "inf" and "nan".
std::string formatNumber(double value);

// The value with exactly `places` digits after the point ("15.50" for 2 places), or in
// scientific notation with `places` digits after the point ("1.55e+01"). The value
// stored is rounded, so a tie that the binary value only nears goes by that value.
std::string formatFixed(double value, int places);
std::string formatScientific(double value, int places);

// Reads a whole text as a decimal number: blanks (space, tab) around it and one leading
// '+' allowed, digits with an optional point and exponent. Hexadecimal, a decimal comma
// or anything left over is refused; value is left alone then.
bool parseNumber(std::string_view text, double& value);
bool parseNumber(std::wstring_view text, double& value);

// The number a text holds, 0 when it holds none: for groups of data the host keeps
// without reading them, where a bad value must not stop a transformation.
double numberOrZero(std::string_view text);

// As parseNumber, for a decimal integer that fits a long long.
bool parseInteger(std::string_view text, long long& value);

}  // namespace hostrx
