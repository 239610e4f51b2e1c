#include "tagreader.h"

#include "filebytes.h"

#include "../rx/numbertext.h"
#include "../rx/utf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace hostdxf {

namespace {
constexpr ValueKind kindOfCode(int code) {
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

constexpr int kFirstCode = -5, kLastCode = 1071;

// The kind of every code, worked out once: the tag reader asks for each group.
constexpr auto kKinds = [] {
    std::array<ValueKind, kLastCode - kFirstCode + 1> kinds{};
    for (int code = kFirstCode; code <= kLastCode; ++code) kinds[static_cast<std::size_t>(code - kFirstCode)] = kindOfCode(code);
    return kinds;
}();

// Group codes are small integers padded with spaces; parsed by hand, as this runs for
// every group of the file.
bool parseGroupCode(std::string_view s, int& code) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
    const bool negative = i < n && s[i] == '-';
    if (negative) ++i;
    const std::size_t firstDigit = i;
    while (i + 1 < n && s[i] == '0' && s[i + 1] >= '0' && s[i + 1] <= '9') ++i;
    int value = 0;
    const std::size_t digitsFrom = i;
    while (i < n && s[i] >= '0' && s[i] <= '9' && i - digitsFrom < 5) value = value * 10 + (s[i++] - '0');
    if (i == firstDigit) return false;
    while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i != n) return false;
    code = negative ? -value : value;
    return code >= kFirstCode && code <= kLastCode;
}
}  // namespace

ValueKind valueKind(int code) {
    return code < kFirstCode || code > kLastCode ? ValueKind::Text : kKinds[static_cast<std::size_t>(code - kFirstCode)];
}

namespace {
std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}
}  // namespace

bool parseReal(std::string_view text, double& value) { return hostrx::parseNumber(text, value); }

bool parseInteger(std::string_view text, long long& value) {
    if (hostrx::parseInteger(text, value)) return true;
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
    // Preview icons run to megabytes in a library drawing: a table, not a chain of tests.
    static constexpr auto nibbles = [] {
        std::array<std::int8_t, 256> table{};
        table.fill(-1);
        for (int c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - '0');
        for (int c = 'a'; c <= 'f'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'a' + 10);
        for (int c = 'A'; c <= 'F'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'A' + 10);
        return table;
    }();
    const std::size_t first = bytes.size();
    bytes.resize(first + hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = nibbles[static_cast<unsigned char>(hex[i])], lo = nibbles[static_cast<unsigned char>(hex[i + 1])];
        if (hi < 0 || lo < 0) {
            bytes.resize(first + i / 2);
            return false;
        }
        bytes[first + i / 2] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return hex.size() % 2 == 0;
}

TagReader::TagReader(std::string_view data, std::size_t firstLine) : m_data(data), m_line(firstLine - 1) {
    // A byte-order mark is not part of the first group code.
    if (m_data.starts_with("\xEF\xBB\xBF")) m_pos = 3;
}

void TagReader::setCodePage(std::string_view page, bool decodeEscapes) {
    m_decoder = std::make_unique<CodePageDecoder>(page);
    m_decodeEscapes = decodeEscapes;
}

namespace {
// Offset of the first newline at or after pos, or size. Most lines are short (a group
// code, a number): their first sixteen bytes are looked at eight at a time, where a
// library search would pay its start-up cost per line. A longer line (the hexadecimal
// text of a preview icon, hundreds of bytes) is left to the library's wider search.
std::size_t findNewline(const char* data, std::size_t pos, std::size_t size) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    static_assert(std::endian::native == std::endian::little, "the lowest flagged byte comes first in memory");
    constexpr int kShortWords = 2;
    for (int w = 0; w < kShortWords && pos + sizeof(std::uint64_t) <= size; ++w) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + pos, sizeof word);
        const std::uint64_t x = word ^ (ones * '\n');
        // Flags each zero byte of x; the lowest flag is always a true one.
        const std::uint64_t zeros = (x - ones) & ~x & highs;
        if (zeros) return pos + static_cast<std::size_t>(std::countr_zero(zeros) / 8);
        pos += sizeof word;
    }
    if (pos >= size) return size;
    const void* found = std::memchr(data + pos, '\n', size - pos);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : size;
}
}  // namespace

bool TagReader::readLine(std::string_view& line) {
    const std::size_t size = m_data.size();
    if (m_pos >= size) return false;
    const char* base = m_data.data();
    const std::size_t end = findNewline(base, m_pos, size);
    std::size_t stop = end;
    if (stop > m_pos && base[stop - 1] == '\r') --stop;
    line = std::string_view(base + m_pos, stop - m_pos);
    m_pos = end < size ? end + 1 : size;
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

namespace {
// Whether every byte is ASCII and none is NUL, eight at a time: nearly all text of a
// drawing is, and it is then taken as it stands, whatever the encoding.
bool plainAscii(std::string_view text) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= text.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, sizeof word);
        if ((word & highs) != 0 || ((word - ones) & ~word & highs) != 0) return false;
    }
    for (; i < text.size(); ++i)
        if (text[i] == '\0' || static_cast<unsigned char>(text[i]) >= 0x80) return false;
    return true;
}
}  // namespace

std::string_view TagReader::decodeText(std::string_view raw) {
    if (plainAscii(raw) && !(m_decoder && m_decodeEscapes && hasUnicodeEscape(raw))) return raw;
    const bool hasNul = raw.find('\0') != std::string_view::npos;
    std::string out;
    if (m_decoder) {
        if (!hasNul && m_decoder->isAscii(raw) && !(m_decodeEscapes && hasUnicodeEscape(raw))) return raw;
        if (!m_decoder->decode(raw, out)) m_invalidText = true;
        if (m_decodeEscapes && hasUnicodeEscape(out)) out = decodeUnicodeEscapes(out);
    } else {
        if (!hasNul && hostrx::isValidUtf8(raw)) return raw;
        if (!hostrx::isValidUtf8(raw)) m_invalidText = true;
        out = hostrx::repairUtf8(raw);
    }
    if (replaceNul(out)) m_invalidText = true;
    return m_storage.emplace_back(std::move(out));
}

// The usual code line, spaces and up to four digits ("  0", " 10", "1001"), parsed while
// its end is found: one pass instead of a search and a parse. Anything else is left to
// the general path, which also words the errors.
bool TagReader::quickCodeLine(int& code) {
    const char* const begin = m_data.data();
    const std::size_t size = m_data.size();
    std::size_t i = m_pos;
    while (i < size && begin[i] == ' ') ++i;
    int value = 0;
    const std::size_t firstDigit = i;
    while (i < size && i - firstDigit < 4 && begin[i] >= '0' && begin[i] <= '9') value = value * 10 + (begin[i++] - '0');
    if (i == firstDigit || value > kLastCode) return false;
    if (i < size && begin[i] == '\r') ++i;
    if (i >= size || begin[i] != '\n') return false;
    m_pos = i + 1;
    m_tagLine = ++m_line;
    code = value;
    return true;
}

namespace {
// Bytes are handed back in steps of this size, this far behind the reader: a step costs
// a call into the system, and a record longer than the distance is rare.
constexpr std::size_t kReleaseStep = std::size_t{4} << 20, kReleaseDistance = std::size_t{1} << 20;
}  // namespace

void TagReader::releaseBehind(const FileBytes& bytes) {
    m_releasing = &bytes;
    m_released = 0;
    m_nextRelease = kReleaseStep + kReleaseDistance;
}

void TagReader::releaseRead() {
    const std::size_t to = m_pos - kReleaseDistance;
    m_releasing->release(m_released, to);
    m_released = to;
    m_nextRelease = m_pos + kReleaseStep;
}

void TagReader::pushBack(const Tag& tag) { m_pushed = Pushed{tag, m_tagLine, m_tagOffset}; }

bool TagReader::next(Tag& tag) {
    if (m_pushed) {
        tag = m_pushed->tag;
        m_tagLine = m_pushed->line;
        m_tagOffset = m_pushed->offset;
        m_pushed.reset();
        return true;
    }
    std::string_view valueLine;
    m_tagOffset = m_pos;
    int code = 0;
    if (!quickCodeLine(code)) {
        std::string_view codeLine;
        if (!readLine(codeLine)) return false;
        m_tagLine = m_line;
        if (!parseGroupCode(codeLine, code)) {
            m_error = "line " + std::to_string(m_tagLine) + ": \"" + std::string(codeLine.substr(0, 40)) +
                      "\" is not a group code";
            return false;
        }
    }
    if (!readLine(valueLine)) {
        m_error = "line " + std::to_string(m_tagLine) + ": the file ends after group code " + std::to_string(code);
        return false;
    }
    if (m_pos >= m_nextRelease) releaseRead();
    tag.code = code;
    const ValueKind kind = kKinds[static_cast<std::size_t>(code - kFirstCode)];
    if (kind == ValueKind::Text) {
        tag.value = decodeText(valueLine);
        return true;
    }
    const bool ok = kind == ValueKind::Real      ? parseReal(valueLine, tag.real)
                    : kind == ValueKind::Integer ? parseInteger(valueLine, tag.integer)
                                                 : true;
    if (!ok) {
        m_error = "line " + std::to_string(m_line) + ": \"" + std::string(valueLine.substr(0, 40)) + "\" is not " +
                  (kind == ValueKind::Real ? "a number" : "a whole number") + " (group code " +
                  std::to_string(code) + ")";
        return false;
    }
    tag.value = trim(valueLine);
    if (kind != ValueKind::Real && kind != ValueKind::Integer && tag.value.find('\0') != std::string_view::npos) {
        // Handles and binary data are kept as they are where the host does not model
        // them; a NUL in them would make the saved file look binary.
        std::string kept(tag.value);
        replaceNul(kept);
        m_invalidText = true;
        tag.value = m_storage.emplace_back(std::move(kept));
    }
    return true;
}

}  // namespace hostdxf
