#include "tagreader.h"

#include <charconv>
#include <cmath>

namespace hostdxf {

ValueKind valueKind(int code) {
    if (code >= 10 && code <= 59) return ValueKind::Real;
    if (code >= 60 && code <= 99) return ValueKind::Integer;
    if (code == 105) return ValueKind::Handle;
    if (code >= 110 && code <= 149) return ValueKind::Real;
    if (code >= 160 && code <= 179) return ValueKind::Integer;
    if (code >= 210 && code <= 239) return ValueKind::Real;
    if (code >= 270 && code <= 299) return ValueKind::Integer;
    if (code >= 310 && code <= 319) return ValueKind::Binary;
    if (code >= 320 && code <= 369) return ValueKind::Handle;
    if (code >= 370 && code <= 389) return ValueKind::Integer;
    if (code >= 390 && code <= 399) return ValueKind::Handle;
    if (code >= 400 && code <= 409) return ValueKind::Integer;
    if (code >= 420 && code <= 429) return ValueKind::Integer;
    if (code >= 440 && code <= 459) return ValueKind::Integer;
    if (code >= 460 && code <= 469) return ValueKind::Real;
    if (code == 480 || code == 481) return ValueKind::Handle;
    if (code == 1004) return ValueKind::Binary;
    if (code == 1005) return ValueKind::Handle;
    if (code >= 1010 && code <= 1059) return ValueKind::Real;
    if (code >= 1060 && code <= 1071) return ValueKind::Integer;
    return ValueKind::Text;
}

namespace {
std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}
}  // namespace

bool parseReal(std::string_view text, double& value) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

bool parseInteger(std::string_view text, long long& value) {
    text = trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && ptr == text.data() + text.size()) return true;
    // Some writers put reals where integers belong ("1.0"); accept a whole number that
    // fits (2^63 bounds the range, and converting a double outside it is undefined).
    double d = 0.0;
    constexpr double limit = 9223372036854775808.0;
    if (parseReal(text, d) && d >= -limit && d < limit && d == std::trunc(d)) {
        value = static_cast<long long>(d);
        return true;
    }
    return false;
}

bool appendHexBytes(std::string_view hex, std::vector<std::uint8_t>& bytes) {
    const auto nibble = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = nibble(hex[i]), lo = nibble(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return hex.size() % 2 == 0;
}

TagReader::TagReader(std::string_view data) : m_data(data) {
    // A byte-order mark is not part of the first group code.
    if (m_data.starts_with("\xEF\xBB\xBF")) m_pos = 3;
}

void TagReader::setCodePage(std::string_view page, bool decodeEscapes) {
    m_decoder = std::make_unique<CodePageDecoder>(page);
    m_decodeEscapes = decodeEscapes;
}

bool TagReader::readLine(std::string_view& line) {
    if (m_pos >= m_data.size()) return false;
    const std::size_t end = m_data.find('\n', m_pos);
    const std::size_t stop = end == std::string_view::npos ? m_data.size() : end;
    line = m_data.substr(m_pos, stop - m_pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_pos = end == std::string_view::npos ? m_data.size() : end + 1;
    ++m_line;
    return true;
}

namespace {
// A NUL would end the text early once it is a string of the database, so that what is
// saved differs from what was read (a name read as "\0X" saves as ""); it counts as a
// character that is not valid in the encoding.
bool replaceNul(std::string& text) {
    bool any = false;
    for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at)) {
        text.replace(at, 1, "\xEF\xBF\xBD");
        any = true;
    }
    return any;
}
}  // namespace

std::string_view TagReader::decodeText(std::string_view raw) {
    const bool hasNul = raw.find('\0') != std::string_view::npos;
    std::string out;
    if (m_decoder) {
        if (!hasNul && m_decoder->isAscii(raw) && !(m_decodeEscapes && hasUnicodeEscape(raw))) return raw;
        if (!m_decoder->decode(raw, out)) m_invalidText = true;
        if (m_decodeEscapes && hasUnicodeEscape(out)) out = decodeUnicodeEscapes(out);
    } else {
        if (!hasNul && isValidUtf8(raw)) return raw;
        if (!isValidUtf8(raw)) m_invalidText = true;
        out = repairUtf8(raw);
    }
    if (replaceNul(out)) m_invalidText = true;
    return m_storage.emplace_back(std::move(out));
}

void TagReader::pushBack(const Tag& tag) { m_pushed = tag; }

bool TagReader::next(Tag& tag) {
    if (m_pushed) {
        tag = *m_pushed;
        m_pushed.reset();
        return true;
    }
    std::string_view codeLine, valueLine;
    if (!readLine(codeLine)) return false;
    m_tagLine = m_line;
    long long code = 0;
    const std::string_view c = trim(codeLine);
    const auto [ptr, ec] = std::from_chars(c.data(), c.data() + c.size(), code);
    if (c.empty() || ec != std::errc() || ptr != c.data() + c.size() || code < -5 || code > 1071) {
        m_error = "line " + std::to_string(m_tagLine) + ": \"" + std::string(codeLine.substr(0, 40)) +
                  "\" is not a group code";
        return false;
    }
    if (!readLine(valueLine)) {
        m_error = "line " + std::to_string(m_tagLine) + ": the file ends after group code " + std::to_string(code);
        return false;
    }
    tag.code = static_cast<int>(code);
    const ValueKind kind = valueKind(tag.code);
    if (kind == ValueKind::Text) {
        tag.value = decodeText(valueLine);
        return true;
    }
    double real = 0.0;
    long long whole = 0;
    const bool ok = kind == ValueKind::Real      ? parseReal(valueLine, real)
                    : kind == ValueKind::Integer ? parseInteger(valueLine, whole)
                                                 : true;
    if (!ok) {
        m_error = "line " + std::to_string(m_line) + ": \"" + std::string(valueLine.substr(0, 40)) + "\" is not " +
                  (kind == ValueKind::Real ? "a number" : "a whole number") + " (group code " +
                  std::to_string(code) + ")";
        return false;
    }
    tag.value = trim(valueLine);
    return true;
}

}  // namespace hostdxf
