#include "numbertext.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace hostrx {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

template <typename T>
bool parseWhole(std::string_view text, T& value) {
    text = trimBlanks(text);
    // One sign at most: from_chars reads '-' itself, never '+'.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return false;
    }
    T v{};
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size()) return false;
    value = v;
    return true;
}

std::string formatIn(double value, std::chars_format format, int places) {
    // Room for the widest fixed double (309 digits) with the most places allowed.
    constexpr int kMostPlaces = 60;
    char buf[400];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, format, std::clamp(places, 0, kMostPlaces));
    return std::string(buf, ec == std::errc() ? ptr : buf);
}

}  // namespace

std::string formatNumber(double value) {
    if (value == 0.0) value = 0.0;  // no "-0"
    char buf[40];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    std::string s(buf, ec == std::errc() ? ptr : buf);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";  // "n" of inf and nan
    return s;
}

std::string formatFixed(double value, int places) {
    return formatIn(value, std::chars_format::fixed, places);
}

std::string formatScientific(double value, int places) {
    return formatIn(value, std::chars_format::scientific, places);
}

bool parseNumber(std::string_view text, double& value) { return parseWhole(text, value); }

bool parseNumber(std::wstring_view text, double& value) {
    // Numbers are ASCII; any other character makes the text no number at all.
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text) {
        if (c <= 0 || c >= 0x80) return false;
        narrow += static_cast<char>(c);
    }
    return parseNumber(narrow, value);
}

double numberOrZero(std::string_view text) {
    double v = 0.0;
    return parseNumber(text, v) ? v : 0.0;
}

bool parseInteger(std::string_view text, long long& value) { return parseWhole(text, value); }

}  // namespace hostrx
