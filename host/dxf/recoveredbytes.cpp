#include "recoveredbytes.h"

#include <cstddef>

namespace hostdxf::reading {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The next line of data from pos, ended by LF, CR LF or CR alone, without blanks around.
std::string_view nextLine(std::string_view data, std::size_t& pos) {
    const std::size_t end = data.find_first_of("\r\n", pos);
    std::string_view line = data.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    pos = end == std::string_view::npos ? data.size() : end + (data.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line;
}

}  // namespace

bool looksLikeDrawingText(std::string_view data) {
    if (data.starts_with(kByteOrderMark)) data.remove_prefix(kByteOrderMark.size());
    std::size_t pos = 0;
    std::string_view code;
    while (pos < data.size() && (code = nextLine(data, pos)).empty()) {
    }
    if (code == "999") return true;
    return code == "0" && nextLine(data, pos) == "SECTION";
}

std::string cleanedBytes(std::string_view data, std::vector<std::string>& repairs) {
    if (data.starts_with(kByteOrderMark)) {
        data.remove_prefix(kByteOrderMark.size());
        repairs.emplace_back("the file begins with a byte-order mark; it was skipped");
    }
    std::string out;
    out.reserve(data.size());
    std::size_t nuls = 0, loneReturns = 0, returnsBeforeNewline = 0, newlines = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '\0') {
            ++nuls;
        } else if (c == '\r') {
            const bool beforeNewline = i + 1 < data.size() && data[i + 1] == '\n';
            ++(beforeNewline ? returnsBeforeNewline : loneReturns);
            i += beforeNewline ? 1 : 0;
            out += '\n';
        } else {
            newlines += c == '\n' ? 1 : 0;
            out += c;
        }
    }
    if (loneReturns > 0) {
        const bool mixed = returnsBeforeNewline + newlines > 0;
        repairs.push_back(std::to_string(loneReturns) + " lines end in a carriage return alone" +
                          (mixed ? ", among lines that end otherwise" : "") + "; they were read as line ends");
    }
    if (nuls > 0) repairs.push_back("the file holds " + std::to_string(nuls) + " NUL bytes; they were dropped");
    return out;
}

}  // namespace hostdxf::reading
