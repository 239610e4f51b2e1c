#pragma once

#include <string>
#include <string_view>

// The host's wide printf formats follow the platform convention of the host SDK, where
// "%s" and "%c" take wide text and "%I64d" a 64-bit integer. glibc's vswprintf reads
// "%s" as narrow text, so every wide format is translated before it is formatted:
//   %s, %c, %ls, %ws (and %S, %C with l or w)  ->  %ls, %lc   (wide)
//   %hs, %hc, %S, %C                           ->  %s, %c     (narrow)
//   %I64d, %I32d, %Id                          ->  %lld, %d, %zd (any integer conversion)
// Flags, width and precision pass unchanged, "%%" stays "%%", everything else is copied.
std::wstring hostFormatToPlatform(std::wstring_view format);
