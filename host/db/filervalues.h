#pragma once

#include "foreigndata.h"

#include "../rx/numbertext.h"

#include <string>

namespace hostdb {

// Numbers kept as persisted text, through the host's one pair of locale-independent
// number functions: a drawing written under a German locale must still read "1.5" back
// as one and a half. A group that holds no number reads as 0, so that a bad value kept
// from a file does not stop a transformation.

inline double realOf(const std::string& text) { return hostrx::numberOrZero(text); }

inline long long integerOf(const std::string& text) {
    long long v = 0;
    return hostrx::parseInteger(text, v) ? v : 0;
}

inline std::string textOf(double v) { return hostrx::formatNumber(v); }

inline FilerItem realItem(int code, double v) { return {code, textOf(v)}; }

}  // namespace hostdb
