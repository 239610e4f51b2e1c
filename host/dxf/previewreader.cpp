#include "previewreader.h"

#include "tagreader.h"
#include "../rx/utf8.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hostdxf {
namespace {

// A preview runs to tens of kilobytes: the first look at the tail usually holds it
// whole, and a file's OBJECTS section that ends with no preview after it usually too.
constexpr std::size_t kFirstTail = 256 * 1024;

class OpenFile {
public:
    explicit OpenFile(const std::filesystem::path& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OpenFile() {
        if (m_fd >= 0) ::close(m_fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

bool readAt(int fd, char* into, std::size_t count, off_t at) {
    while (count > 0) {
        const ssize_t n = ::pread(fd, into, count, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // a read error, or the file shrank meanwhile
        into += n;
        count -= static_cast<std::size_t>(n);
        at += n;
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool isGroupCode(std::string_view line, int code) {
    line = trimmed(line);
    if (line.empty() || line.size() > 6 || !std::all_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    int value = 0;
    for (char c : line) value = value * 10 + (c - '0');
    return value == code;
}

enum class Search { found, absent, needEarlierBytes };

// A view of some of a file's last bytes; whole lines only from the second one on,
// unless it starts at the file's start.
class Tail {
public:
    Tail(std::string_view text, bool fromFileStart) : m_text(text), m_fromStart(fromFileStart) {}

    // The last section header "0 SECTION / 2 name" in the text; after is set to where
    // the section's first group starts. Blanks and CR around each line are allowed.
    Search sectionHeader(std::string_view name, std::size_t& after) const {
        for (std::size_t at = m_text.rfind(name); at != std::string_view::npos;
             at = at == 0 ? std::string_view::npos : m_text.rfind(name, at - 1)) {
            const std::size_t lineStart = m_text.rfind('\n', at) + 1;  // npos + 1 is 0
            const std::size_t newline = m_text.find('\n', at);
            const std::size_t lineEnd = newline == std::string_view::npos ? m_text.size() : newline;
            if (trimmed(m_text.substr(lineStart, lineEnd - lineStart)) != name) continue;
            std::string_view lines[3];
            std::size_t start = lineStart;
            bool complete = true;
            for (auto& line : lines) complete = complete && previousLine(start, line);
            if (!complete || (start == 0 && !m_fromStart)) {
                if (!m_fromStart) return Search::needEarlierBytes;
                continue;
            }
            if (isGroupCode(lines[0], 2) && trimmed(lines[1]) == "SECTION" && isGroupCode(lines[2], 0)) {
                after = newline == std::string_view::npos ? m_text.size() : newline + 1;
                return Search::found;
            }
        }
        return Search::absent;
    }

private:
    // The line before the one starting at start; start moves to its beginning.
    bool previousLine(std::size_t& start, std::string_view& line) const {
        if (start == 0) return false;
        const std::size_t end = start - 1;
        const std::size_t begin = end == 0 ? 0 : m_text.rfind('\n', end - 1) + 1;
        line = m_text.substr(begin, end - begin);
        start = begin;
        return true;
    }

    std::string_view m_text;
    bool m_fromStart;
};

// The preview's bytes from the groups after its section's name. The byte count bounds
// every allocation: it may not pass what the file could hold.
std::vector<std::uint8_t> sectionBytes(std::string_view groups, std::size_t fileSize) {
    TagReader reader(groups);
    Tag t;
    bool more = reader.next(t);
    while (more && t.code == 999) more = reader.next(t);
    if (!more || t.code != 90 || t.integer <= 0) return {};
    const auto count = static_cast<unsigned long long>(t.integer);
    if (count > fileSize / 2) return {};
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(count));
    while (reader.next(t)) {
        if (t.code == 0) {
            if (t.value != "ENDSEC" || bytes.size() != count) return {};
            return bytes;
        }
        if (t.code != 310) continue;
        if (bytes.size() + t.value.size() / 2 > count || !appendHexBytes(t.value, bytes)) return {};
    }
    return {};
}

// What the tail tells of the preview: found (into bytes), none, or nothing yet.
Search previewInTail(const Tail& tail, std::string_view text, std::size_t fileSize, std::vector<std::uint8_t>& bytes) {
    std::size_t after = 0;
    const Search preview = tail.sectionHeader("THUMBNAILIMAGE", after);
    if (preview == Search::found) {
        bytes = sectionBytes(text.substr(after), fileSize);
        return Search::found;
    }
    if (preview == Search::needEarlierBytes) return preview;
    // The preview is the file's last section: once OBJECTS is seen, there is none.
    return tail.sectionHeader("OBJECTS", after) == Search::found ? Search::absent : Search::needEarlierBytes;
}

}  // namespace

std::vector<std::uint8_t> findDrawingPreview(std::string_view fileText) {
    std::vector<std::uint8_t> bytes;
    previewInTail(Tail(fileText, true), fileText, fileText.size(), bytes);
    return bytes;
}

std::vector<std::uint8_t> findDrawingPreviewInTail(std::string_view tail, std::size_t fileSize) {
    std::vector<std::uint8_t> bytes;
    if (tail.size() > fileSize) return bytes;
    if (previewInTail(Tail(tail, tail.size() == fileSize), tail, fileSize, bytes) != Search::found) bytes.clear();
    return bytes;
}

std::vector<std::uint8_t> readDrawingPreview(const std::wstring& path) {
    const OpenFile file{hostrx::widePath(path)};
    struct stat st {};
    if (file.fd() < 0 || ::fstat(file.fd(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return {};
    const auto size = static_cast<std::size_t>(st.st_size);
    std::string tail;
    for (std::size_t want = std::min(size, kFirstTail);; want = std::min(size, want * 4)) {
        // The bytes before what is held already, then what is held.
        std::string longer(want, '\0');
        const std::size_t fresh = want - tail.size();
        if (!readAt(file.fd(), longer.data(), fresh, static_cast<off_t>(size - want))) return {};
        std::copy(tail.begin(), tail.end(), longer.begin() + static_cast<std::ptrdiff_t>(fresh));
        tail = std::move(longer);
        std::vector<std::uint8_t> bytes;
        const bool whole = want == size;
        const Search found = previewInTail(Tail(tail, whole), tail, size, bytes);
        if (found != Search::needEarlierBytes || whole) return bytes;
    }
}

}  // namespace hostdxf
