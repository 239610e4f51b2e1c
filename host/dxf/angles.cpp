#include "angles.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <system_error>

namespace hostdxf {

double radiansFromDegrees(double degrees) { return degrees * (std::numbers::pi / 180.0); }

double degreesToWrite(double radians) {
    const double degrees = radians * (180.0 / std::numbers::pi);
    if (!std::isfinite(degrees)) return degrees;
    // Most angles of a drawing are whole or short (0, 90, 22.5): found in a step or two.
    for (int digits = 1; digits <= 17; ++digits) {
        char buf[40];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, degrees, std::chars_format::general, digits);
        if (ec != std::errc()) break;
        double candidate = 0.0;
        if (std::from_chars(buf, end, candidate).ec == std::errc() && radiansFromDegrees(candidate) == radians)
            return candidate;
    }
    return degrees;
}

}  // namespace hostdxf
