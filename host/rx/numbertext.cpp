#include "numbertext.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <system_error>
#include <type_traits>

namespace hostrx {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The plain decimals that fill a drawing file ("-12.5", "0.0", "250"), read without the
// general parser: a mantissa that a double holds exactly, divided by a power of ten that
// it holds exactly, is rounded once, as correctly as the general parser rounds. False
// for anything else (exponents, many digits, "5.", ".5"), which the general parser reads.
bool parsePlainDecimal(std::string_view text, double& value) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::size_t kMostDigits = 18;  // no overflow of the mantissa
    constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;
    std::size_t digits = 0, places = 0;
    const char* const first = p;
    const auto takeDigits = [&] {
        for (; p != end && *p >= '0' && *p <= '9'; ++p, ++digits) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    };
    takeDigits();
    if (p == first) return false;
    if (p != end) {
        if (*p != '.') return false;
        const char* const point = ++p;
        takeDigits();
        places = static_cast<std::size_t>(p - point);
        if (places == 0 || p != end) return false;
    }
    if (digits > kMostDigits || mantissa > kExactMantissa || places >= std::size(kPowers)) return false;
    const double v = static_cast<double>(mantissa) / kPowers[places];
    value = negative ? -v : v;
    return true;
}

template <typename T>
bool parseWhole(std::string_view text, T& value) {
    text = trimBlanks(text);
    if constexpr (std::is_same_v<T, double>) {
        if (parsePlainDecimal(text, value)) return true;
    }
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
