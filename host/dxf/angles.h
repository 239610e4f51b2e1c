#pragma once

namespace hostdxf {

// Drawing files give most angles in degrees; the database keeps radians. The reader
// converts with radiansFromDegrees only, and the writer writes degreesToWrite: the
// shortest number of degrees that this conversion takes back to the same radians. So
// an angle read from a file is saved as the file gave it (30.0, not 29.999999999999996).
// An angle the host computed may have no degrees that convert back to it exactly; it is
// written as its plain conversion, which reads back to within a rounding.
double radiansFromDegrees(double degrees);
double degreesToWrite(double radians);

}  // namespace hostdxf
