// Reading distances and angles as a CAD user types them; unitformat.h holds the
// contract. Every piece below reads one whole text or answers none, so a text with
// anything left over is refused.

#include "unitformat.h"

#include "../rx/numbertext.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <string_view>

namespace {

using Number = std::optional<double>;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

std::wstring_view trimmed(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return s;
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

wchar_t upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Drops the last character when it is `mark`; false when it is not.
bool dropLast(std::wstring_view& s, wchar_t mark) {
    if (s.empty() || upper(s.back()) != mark) return false;
    s = trimmed(s.substr(0, s.size() - 1));
    return true;
}

// A decimal or scientific number without a sign of its own: "15", ".5", "1.5E+01".
Number unsignedDecimal(std::wstring_view s) {
    double v = 0.0;
    if (s.empty() || !(isDigit(s.front()) || s.front() == L'.') || !hostrx::parseNumber(s, v)) return std::nullopt;
    return v;
}

Number wholeNumber(std::wstring_view s) {
    if (s.empty()) return std::nullopt;
    for (wchar_t c : s)
        if (!isDigit(c)) return std::nullopt;
    return unsignedDecimal(s);
}

// "3/4", and mixed numbers "1-1/2" and "1 1/2".
Number fraction(std::wstring_view s) {
    const auto slash = s.find(L'/');
    if (slash == std::wstring_view::npos) return std::nullopt;
    const Number denominator = wholeNumber(s.substr(slash + 1));
    if (!denominator || *denominator == 0.0) return std::nullopt;
    const std::wstring_view left = s.substr(0, slash);
    const auto gap = left.find_last_of(L" \t-");
    const Number numerator = wholeNumber(gap == std::wstring_view::npos ? left : left.substr(gap + 1));
    const Number whole = gap == std::wstring_view::npos ? Number(0.0) : wholeNumber(trimmed(left.substr(0, gap)));
    if (!numerator || !whole) return std::nullopt;
    return *whole + *numerator / *denominator;
}

Number plainNumber(std::wstring_view s) {
    if (const Number v = unsignedDecimal(s)) return v;
    return fraction(s);
}

// 1'3.5", 1'-3 1/2", 1' 3, 1', 3" — in inches.
Number feetAndInches(std::wstring_view s) {
    const auto mark = s.find(L'\'');
    if (mark == std::wstring_view::npos) return dropLast(s, L'"') ? plainNumber(s) : std::nullopt;
    const Number feet = plainNumber(trimmed(s.substr(0, mark)));
    std::wstring_view rest = trimmed(s.substr(mark + 1));
    if (!feet || rest.empty()) return feet ? Number(*feet * 12.0) : std::nullopt;
    if (rest.front() == L'-') rest = trimmed(rest.substr(1));
    dropLast(rest, L'"');
    const Number inches = plainNumber(rest);
    return inches ? Number(*feet * 12.0 + *inches) : std::nullopt;
}

// Splits off one leading sign: -1 or +1.
double signOf(std::wstring_view& s) {
    if (s.empty() || (s.front() != L'-' && s.front() != L'+')) return 1.0;
    const double sign = s.front() == L'-' ? -1.0 : 1.0;
    s = trimmed(s.substr(1));
    return sign;
}

Number distance(std::wstring_view s, int unit) {
    const double sign = signOf(s);
    Number v = plainNumber(s);
    if (!v && (unit == 3 || unit == 4)) v = feetAndInches(s);
    return v ? Number(sign * *v) : std::nullopt;
}

// 45d, 45d30', 45d30'15.5", 45d15" — in degrees.
Number dmsDegrees(std::wstring_view s) {
    const auto d = s.find_first_of(L"dD\u00B0");
    if (d == std::wstring_view::npos) return std::nullopt;
    Number degrees = unsignedDecimal(trimmed(s.substr(0, d)));
    std::wstring_view rest = trimmed(s.substr(d + 1));
    if (const auto m = rest.find(L'\''); m != std::wstring_view::npos && degrees) {
        const Number minutes = unsignedDecimal(trimmed(rest.substr(0, m)));
        degrees = minutes ? Number(*degrees + *minutes / 60.0) : std::nullopt;
        rest = trimmed(rest.substr(m + 1));
    }
    if (rest.empty() || !degrees) return degrees;
    const Number seconds = dropLast(rest, L'"') ? unsignedDecimal(rest) : std::nullopt;
    return seconds ? Number(*degrees + *seconds / 3600.0) : std::nullopt;
}

Number degreesText(std::wstring_view s) {
    if (const Number v = unsignedDecimal(s)) return v;
    return dmsDegrees(s);
}

// N45d30'E and the like, or a lone axis letter; in radians counterclockwise from east.
Number bearing(std::wstring_view s) {
    if (s.size() == 1) {
        static constexpr std::wstring_view kAxes = L"ENWS";
        const auto axis = kAxes.find(upper(s.front()));
        return axis == std::wstring_view::npos ? std::nullopt : Number(static_cast<double>(axis) * 90.0);
    }
    const wchar_t from = s.empty() ? L'\0' : upper(s.front());
    const wchar_t to = s.empty() ? L'\0' : upper(s.back());
    if ((from != L'N' && from != L'S') || (to != L'E' && to != L'W')) return std::nullopt;
    const Number angle = degreesText(trimmed(s.substr(1, s.size() - 2)));
    if (!angle || *angle > 90.0) return std::nullopt;
    const double axis = from == L'N' ? 90.0 : 270.0;
    const bool towardsEast = (from == L'N') == (to == L'E');
    const double degrees = towardsEast ? axis - *angle : axis + *angle;
    return degrees >= 360.0 ? degrees - 360.0 : degrees;
}

// A number in the given angular unit, or with a suffix naming its own; in radians.
Number angleWithUnit(std::wstring_view s, int unit) {
    constexpr double kRadiansPerGrad = std::numbers::pi / 200.0;
    if (dropLast(s, L'G')) unit = 2;
    else if (dropLast(s, L'R')) unit = 3;
    else if (const Number v = dmsDegrees(s)) return *v * kRadiansPerDegree;
    const Number v = unsignedDecimal(s);
    if (!v || unit == 3) return v;
    return *v * (unit == 2 ? kRadiansPerGrad : kRadiansPerDegree);
}

Number angle(std::wstring_view s, int unit) {
    if (const Number degrees = bearing(s)) return *degrees * kRadiansPerDegree;
    const double sign = signOf(s);
    const Number v = angleWithUnit(s, unit);
    return v ? Number(sign * *v) : std::nullopt;
}

int answer(Number v, double* value) {
    if (!v || !std::isfinite(*v)) return RTERROR;
    *value = *v;
    return RTNORM;
}

}  // namespace

int acdbDisToF(const ACHAR* str, int unit, double* value) {
    if (!str || !value) return RTERROR;
    if (unit == -1) unit = hosted::workingDrawingUnits().lunits;
    if (unit < 1 || unit > 5) return RTERROR;
    return answer(distance(trimmed(str), unit), value);
}

int acdbAngToF(const ACHAR* str, int unit, double* value) {
    if (!str || !value) return RTERROR;
    if (unit == -1) unit = hosted::workingDrawingUnits().aunits;
    if (unit < 0 || unit > 4) return RTERROR;
    return answer(angle(trimmed(str), unit), value);
}
