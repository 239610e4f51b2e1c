#pragma once

#include "foreigndata.h"

#include <charconv>
#include <string>

namespace hostdb {

// Numbers kept as persisted text, read and written alike whatever the process locale:
// a drawing written under a German locale must still read "1.5" back as one and a half.

inline double realOf(const std::string& text) {
    double v = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && (*first == ' ' || *first == '\t')) ++first;
    if (first != last && *first == '+') ++first;
    std::from_chars(first, last, v);
    return v;
}

inline long long integerOf(const std::string& text) {
    long long v = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && (*first == ' ' || *first == '\t')) ++first;
    if (first != last && *first == '+') ++first;
    std::from_chars(first, last, v);
    return v;
}

// The shortest text that reads back as the same double.
inline std::string textOf(double v) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

inline FilerItem realItem(int code, double v) { return {code, textOf(v)}; }

}  // namespace hostdb
