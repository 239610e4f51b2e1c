#pragma once

// Private to the drawing-file reader: what a recovering read does to a file's bytes
// before it reads their groups.

#include <string>
#include <string_view>
#include <vector>

namespace hostdxf::reading {

// Whether the data begins as an ASCII drawing file does: with a group "0 SECTION" or a
// comment (999), after blank lines and a byte-order mark, whatever its line ends. A
// text file that merely holds NUL bytes passes; a binary drawing does not.
bool looksLikeDrawingText(std::string_view data);

// A copy of the data without what no drawing file holds: a byte-order mark, NUL bytes,
// and line ends other than LF (a carriage return alone, or before LF). Each kind that
// was there is noted in repairs, once.
std::string cleanedBytes(std::string_view data, std::vector<std::string>& repairs);

}  // namespace hostdxf::reading
