#include "damageddrawings.h"

#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace damage {
namespace {

// The file as its groups, code and value lines as they are written.
struct Group {
    std::string code, value;
    bool is(std::string_view c, std::string_view v) const { return trimmed(code) == c && value == v; }
    static std::string_view trimmed(std::string_view s) {
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        return s;
    }
};
using Groups = std::vector<Group>;

Groups groupsOf(const std::string& text) {
    Groups out;
    std::size_t pos = 0;
    auto line = [&] {
        const std::size_t end = text.find('\n', pos);
        std::string l = text.substr(pos, end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        return l;
    };
    while (pos < text.size()) {
        std::string code = line();
        out.push_back({std::move(code), line()});
    }
    return out;
}

std::string textOf(const Groups& groups, std::string_view lineEnd = "\n") {
    std::string out;
    for (const auto& g : groups) out.append(g.code).append(lineEnd).append(g.value).append(lineEnd);
    return out;
}

// Index of the n-th group (from 0) with this code and value at or after `from`.
std::size_t find(const Groups& groups, std::string_view code, std::string_view value, std::size_t from = 0,
                 int n = 0) {
    for (std::size_t i = from; i < groups.size(); ++i)
        if (groups[i].is(code, value) && n-- == 0) return i;
    throw std::runtime_error("the sound drawing has no group " + std::string(code) + " " + std::string(value));
}

std::size_t sectionStart(const Groups& groups, std::string_view name) { return find(groups, "2", name) - 1; }
std::size_t sectionEnd(const Groups& groups, std::string_view name) {
    return find(groups, "0", "ENDSEC", sectionStart(groups, name));
}
// The groups of a record: from its 0 group up to the next 0 group.
std::size_t recordEnd(const Groups& groups, std::size_t start) {
    std::size_t i = start + 1;
    while (i < groups.size() && !(Group::trimmed(groups[i].code) == "0")) ++i;
    return i;
}
// The group of `code` within the record starting at `start`.
std::size_t inRecord(const Groups& groups, std::size_t start, std::string_view code) {
    for (std::size_t i = start + 1; i < recordEnd(groups, start); ++i)
        if (Group::trimmed(groups[i].code) == code) return i;
    throw std::runtime_error("the record has no group " + std::string(code));
}
std::size_t modelRecord(const Groups& groups, std::string_view type, int n = 0) {
    return find(groups, "0", type, sectionStart(groups, "ENTITIES"), n);
}

void erase(Groups& groups, std::size_t from, std::size_t to) {
    groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(from), groups.begin() + static_cast<std::ptrdiff_t>(to));
}

std::string headerVariablesAfterEnd(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t end = sectionEnd(g, "HEADER");
    std::size_t from = end;
    for (int vars = 0; vars < 2; --from)
        if (Group::trimmed(g[from - 1].code) == "9") ++vars;
    const Groups moved(g.begin() + static_cast<std::ptrdiff_t>(from), g.begin() + static_cast<std::ptrdiff_t>(end));
    g.insert(g.begin() + static_cast<std::ptrdiff_t>(end + 1), moved.begin(), moved.end());
    erase(g, from, end);
    return textOf(g);
}

std::string missingEndsec(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t end = sectionEnd(g, "TABLES");
    erase(g, end, end + 1);
    return textOf(g);
}

std::string missingEndtab(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t end = find(g, "0", "ENDTAB");
    erase(g, end, end + 1);
    return textOf(g);
}

std::string missingEndblk(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t end = find(g, "0", "ENDBLK", sectionStart(g, "BLOCKS"), 3);
    erase(g, end, recordEnd(g, end));
    return textOf(g);
}

std::string missingEof(const std::string& sound) {
    Groups g = groupsOf(sound);
    g.pop_back();
    return textOf(g);
}

std::string duplicateHandle(const std::string& sound) {
    Groups g = groupsOf(sound);
    g[inRecord(g, modelRecord(g, "TEXT"), "5")].value = g[inRecord(g, modelRecord(g, "LINE"), "5")].value;
    return textOf(g);
}

std::string zeroHandle(const std::string& sound) {
    Groups g = groupsOf(sound);
    g[inRecord(g, modelRecord(g, "LINE"), "5")].value = "0";
    return textOf(g);
}

std::string missingHandle(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t handle = inRecord(g, modelRecord(g, "TEXT"), "5");
    erase(g, handle, handle + 1);
    return textOf(g);
}

std::string tableCountWrong(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t head = find(g, "2", "LAYER") - 1;
    std::string& count = g[inRecord(g, head, "70")].value;
    count = std::to_string(std::stoi(count) + 5);
    return textOf(g);
}

std::string ownerPointsNowhere(const std::string& sound) {
    Groups g = groupsOf(sound);
    g[inRecord(g, modelRecord(g, "LINE"), "330")].value = "FFFFF";
    return textOf(g);
}

std::string carriageReturnsAlone(const std::string& sound) { return textOf(groupsOf(sound), "\r"); }

std::string mixedLineEnds(const std::string& sound) {
    std::string out;
    int n = 0;
    for (char c : sound) {
        if (c != '\n') {
            out += c;
            continue;
        }
        // A carriage return alone never comes before a line that ends in LF alone: an
        // empty line there would read as one CR LF, in any reader.
        static constexpr const char* ends[] = {"\n", "\r", "\r\n"};
        out += ends[n++ % 3];
    }
    return out;
}

std::string byteOrderMark(const std::string& sound) { return "\xEF\xBB\xBF" + sound; }

std::string nulBytesAfterEof(const std::string& sound) { return sound + std::string(5000, '\0'); }

std::string garbageAfterEof(const std::string& sound) { return sound + "garbage written\nby a tool that\nappends\n"; }

// Cut after the value line of the second TEXT's layer: the records before it stay whole.
std::string cutInsideEntities(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t layer = inRecord(g, modelRecord(g, "TEXT", 1), "8");
    g.resize(layer + 1);
    return textOf(g);
}

// The viewport "*Active" given a name before its own: read as "OBJECTS", it would be
// saved beside the "*Active" a drawing always has, and both would come back as "*Active".
std::string recordNamedTwice(const std::string& sound) {
    Groups g = groupsOf(sound);
    const std::size_t name = find(g, "2", "*Active", sectionStart(g, "TABLES"));
    g.insert(g.begin() + static_cast<std::ptrdiff_t>(name), Group{"  2", "OBJECTS"});
    return textOf(g);
}

}  // namespace

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {"header_variables_after_endsec", headerVariablesAfterEnd, "come after the header's end"},
        {"missing_endsec", missingEndsec, "section has no ENDSEC"},
        {"missing_endtab", missingEndtab, "has no ENDTAB"},
        {"missing_endblk", missingEndblk, "has no ENDBLK"},
        {"missing_eof", missingEof, "ends without EOF"},
        {"duplicate_handle", duplicateHandle, "is used twice"},
        {"zero_handle", zeroHandle, "record has handle 0"},
        {"missing_handle", missingHandle, "record has no handle"},
        {"table_count_wrong", tableCountWrong, "table LAYER counts"},
        {"owner_points_nowhere", ownerPointsNowhere, "the owner FFFFF"},
        {"carriage_returns_alone", carriageReturnsAlone, "end in a carriage return alone;"},
        {"mixed_line_ends", mixedLineEnds, "among lines that end otherwise"},
        {"byte_order_mark", byteOrderMark, "byte-order mark"},
        {"nul_bytes_after_eof", nulBytesAfterEof, "5000 NUL bytes"},
        {"garbage_after_eof", garbageAfterEof, "bytes follow EOF"},
        {"cut_inside_entities", cutInsideEntities, "ends inside a TEXT record"},
        {"record_named_twice", recordNamedTwice, "record is named twice"},
    };
    return all;
}

}  // namespace damage
