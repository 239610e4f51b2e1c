#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hostdb {

// One unit of persisted data that the database keeps without interpreting it: a
// group code and its text. Objects carry what the host does not model in these, so
// that saving writes back everything that was read.
struct FilerItem {
    int code = 0;
    std::string value;  // UTF-8
    bool operator==(const FilerItem&) const = default;
};
using FilerItems = std::vector<FilerItem>;

// Codes whose values name other objects by handle; deep clone translates them.
inline bool isHandleReferenceCode(int code) {
    return (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481 ||
           code == 1005;
}

// The uninterpreted part of one object, grouped by the class section it came from so
// that it is written back in its place: chunk "" holds what came before the first
// class marker; other chunks are named by their class marker.
class ForeignData {
public:
    struct Chunk {
        std::string subclass;
        FilerItems items;
    };

    bool empty() const { return m_chunks.empty() && m_xdata.empty(); }
    const std::vector<Chunk>& chunks() const { return m_chunks; }
    std::vector<Chunk>& chunks() { return m_chunks; }
    FilerItems& chunk(std::string_view subclass);
    const FilerItems* find(std::string_view subclass) const;
    // Extended data of registered applications, always at the end of a record.
    FilerItems& xdata() { return m_xdata; }
    const FilerItems& xdata() const { return m_xdata; }

private:
    std::vector<Chunk> m_chunks;
    FilerItems m_xdata;
};

}  // namespace hostdb
