#include "unitformat.h"

#include "../db/database.h"
#include "../rx/numbertext.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <numbers>
#include <optional>
#include <string>

namespace {

constexpr int kMostPlaces = 8;
// Below 2^53, so that every whole number of ticks is an exact double.
constexpr double kMostTicks = 4.0e15;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

using Text = std::optional<std::string>;

std::int64_t pow10(int places) {
    std::int64_t p = 1;
    for (int i = 0; i < places; ++i) p *= 10;
    return p;
}

// The magnitude in whole ticks, a tie away from zero; none when too large to count
// exactly.
std::optional<std::int64_t> ticksOf(double magnitude, double ticksPerUnit) {
    const double scaled = std::round(magnitude * ticksPerUnit);
    if (!(scaled < kMostTicks)) return std::nullopt;
    return static_cast<std::int64_t>(scaled);
}

std::string integerText(std::int64_t n) {
    char buf[24];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, ptr);
}

// A count of 10^-places as a decimal: 1550 at 2 places is "15.50".
std::string decimalText(std::int64_t ticks, int places) {
    std::string text = integerText(ticks / pow10(places));
    if (places == 0) return text;
    const std::string fraction = integerText(ticks % pow10(places));
    return text + '.' + std::string(static_cast<std::size_t>(places) - fraction.size(), '0') + fraction;
}

// A count of 1/2^prec as a whole number and a reduced fraction: "15 1/2", "1/2", "15".
std::string fractionText(std::int64_t ticks, int prec, bool wholeAlways) {
    std::int64_t denominator = std::int64_t{1} << prec;
    std::int64_t numerator = ticks % denominator;
    const std::int64_t whole = ticks / denominator;
    while (numerator != 0 && numerator % 2 == 0) {
        numerator /= 2;
        denominator /= 2;
    }
    std::string text = whole != 0 || numerator == 0 || wholeAlways ? integerText(whole) : std::string();
    if (numerator == 0) return text;
    if (!text.empty()) text += ' ';
    return text + integerText(numerator) + '/' + integerText(denominator);
}

// ---- Linear units, each on the value's magnitude.

Text scientific(double magnitude, int prec) {
    std::string text = hostrx::formatScientific(magnitude, prec);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

Text decimal(double magnitude, int prec) {
    if (const auto ticks = ticksOf(magnitude, static_cast<double>(pow10(prec)))) return decimalText(*ticks, prec);
    return hostrx::formatFixed(magnitude, prec);
}

// Splits inches into whole feet and the inches left over counted in ticks, carrying
// a rest that rounds up to a whole foot (11.999" at 2 places is 1'-0.00").
std::optional<std::pair<double, std::int64_t>> feetAndTicks(double inches, std::int64_t ticksPerInch) {
    const double rest = std::fmod(inches, 12.0);
    double feet = std::round((inches - rest) / 12.0);
    auto ticks = ticksOf(rest, static_cast<double>(ticksPerInch));
    if (!ticks || !(feet < kMostTicks)) return std::nullopt;
    if (*ticks == 12 * ticksPerInch) {
        feet += 1.0;
        ticks = 0;
    }
    return std::pair{feet, *ticks};
}

Text engineering(double magnitude, int prec) {
    const auto split = feetAndTicks(magnitude, pow10(prec));
    if (!split) return std::nullopt;
    return hostrx::formatFixed(split->first, 0) + "'-" + decimalText(split->second, prec) + '"';
}

Text architectural(double magnitude, int prec) {
    const auto split = feetAndTicks(magnitude, std::int64_t{1} << prec);
    if (!split) return std::nullopt;
    return hostrx::formatFixed(split->first, 0) + "'-" + fractionText(split->second, prec, true) + '"';
}

Text fractional(double magnitude, int prec) {
    const auto ticks = ticksOf(magnitude, static_cast<double>(std::int64_t{1} << prec));
    if (!ticks) return std::nullopt;
    return fractionText(*ticks, prec, false);
}

// ---- Angular units, each on an angle in [0, 2π).

// Ticks per degree at each degrees/minutes/seconds precision.
std::int64_t dmsTicksPerDegree(int prec) {
    if (prec == 0) return 1;
    if (prec <= 2) return 60;
    return 3600 * pow10(prec <= 4 ? 0 : prec - 4);
}

std::string dmsText(std::int64_t ticks, int prec) {
    const std::int64_t perDegree = dmsTicksPerDegree(prec);
    std::string text = integerText(ticks / perDegree) + 'd';
    if (prec == 0) return text;
    const std::int64_t perMinute = perDegree / 60;
    text += integerText(ticks % perDegree / perMinute) + '\'';
    if (prec <= 2) return text;
    return text + decimalText(ticks % perMinute, prec <= 4 ? 0 : prec - 4) + '"';
}

// The angle in ticks of a unit that has `perCircle` ticks in a full circle, a value
// that rounds to the full circle being 0.
std::int64_t circleTicks(double radians, double unitsPerRadian, std::int64_t ticksPerUnit, std::int64_t perCircle) {
    const auto ticks = ticksOf(radians * unitsPerRadian, static_cast<double>(ticksPerUnit));
    return ticks && *ticks < perCircle ? *ticks : 0;
}

Text degrees(double radians, int prec) {
    return decimalText(circleTicks(radians, kDegreesPerRadian, pow10(prec), 360 * pow10(prec)), prec);
}

Text dms(double radians, int prec) {
    const std::int64_t perDegree = dmsTicksPerDegree(prec);
    return dmsText(circleTicks(radians, kDegreesPerRadian, perDegree, 360 * perDegree), prec);
}

Text grads(double radians, int prec) {
    const double gradsPerRadian = 200.0 / std::numbers::pi;
    return decimalText(circleTicks(radians, gradsPerRadian, pow10(prec), 400 * pow10(prec)), prec) + 'g';
}

Text radiansText(double radians, int prec) {
    const auto ticks = ticksOf(radians, static_cast<double>(pow10(prec)));
    return decimalText(ticks.value_or(0), prec) + 'r';
}

// A bearing measures from north or south towards east or west. The angle is rounded
// first, so that one that rounds onto an axis shows as that axis's letter.
Text surveyor(double radians, int prec) {
    const std::int64_t perDegree = dmsTicksPerDegree(prec);
    const std::int64_t quarter = 90 * perDegree;
    const std::int64_t ticks = circleTicks(radians, kDegreesPerRadian, perDegree, 4 * quarter);
    static constexpr std::array<const char*, 4> kAxes = {"E", "N", "W", "S"};
    if (ticks % quarter == 0) return kAxes[static_cast<std::size_t>(ticks / quarter)];
    // Per quadrant counterclockwise from east: the letters, and whether the bearing
    // counts from the quadrant's start (or back from its end).
    static constexpr std::array<const char*, 4> kFrom = {"N", "N", "S", "S"};
    static constexpr std::array<const char*, 4> kTo = {"E", "W", "W", "E"};
    const auto quadrant = static_cast<std::size_t>(ticks / quarter);
    const std::int64_t within = ticks % quarter;
    const std::int64_t bearing = quadrant % 2 == 0 ? quarter - within : within;
    return std::string(kFrom[quadrant]) + dmsText(bearing, prec) + kTo[quadrant];
}

using Formatter = Text (*)(double, int);
constexpr std::array<Formatter, 6> kLinearFormats = {nullptr, scientific, decimal, engineering, architectural,
                                                     fractional};
constexpr std::array<Formatter, 5> kAngularFormats = {degrees, dms, grads, radiansText, surveyor};

// True when the text shows a value other than zero (digits of an exponent aside).
bool showsNonZero(const std::string& text) {
    for (char c : text) {
        if (c == 'E') return false;
        if (c >= '1' && c <= '9') return true;
    }
    return false;
}

int refuse(ACHAR* str, std::size_t size) {
    if (size > 0) str[0] = L'\0';
    return RTERROR;
}

int writeText(const std::string& text, ACHAR* str, std::size_t size) {
    if (text.size() + 1 > size) return refuse(str, size);
    for (std::size_t i = 0; i < text.size(); ++i) str[i] = static_cast<ACHAR>(static_cast<unsigned char>(text[i]));
    str[text.size()] = L'\0';
    return RTNORM;
}

bool precisionInRange(int prec) { return prec >= 0 && prec <= kMostPlaces; }

}  // namespace

namespace hosted {

DrawingUnits workingDrawingUnits() {
    const AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) return {};
    return {db->lunits(), db->luprec(), db->aunits(), db->auprec()};
}

}  // namespace hosted

int acdbRToS(double value, int unit, int prec, ACHAR* str, std::size_t size) {
    if (!str) return RTERROR;
    const hosted::DrawingUnits current = hosted::workingDrawingUnits();
    if (unit == -1) unit = current.lunits;
    if (prec == -1) prec = current.luprec;
    Text text;
    if (unit >= 1 && unit < static_cast<int>(kLinearFormats.size()) && precisionInRange(prec) && std::isfinite(value))
        text = kLinearFormats[static_cast<std::size_t>(unit)](std::fabs(value), prec);
    if (!text) return refuse(str, size);
    return writeText(value < 0 && showsNonZero(*text) ? '-' + *text : *text, str, size);
}

int acdbAngToS(double value, int unit, int prec, ACHAR* str, std::size_t size) {
    if (!str) return RTERROR;
    const hosted::DrawingUnits current = hosted::workingDrawingUnits();
    if (unit == -1) unit = current.aunits;
    if (prec == -1) prec = current.auprec;
    if (unit < 0 || unit >= static_cast<int>(kAngularFormats.size()) || !precisionInRange(prec) ||
        !std::isfinite(value))
        return refuse(str, size);
    constexpr double kFullCircle = 2.0 * std::numbers::pi;
    double angle = std::fmod(value, kFullCircle);
    if (angle < 0.0) angle += kFullCircle;
    if (angle >= kFullCircle) angle = 0.0;
    return writeText(*kAngularFormats[static_cast<std::size_t>(unit)](angle, prec), str, size);
}
