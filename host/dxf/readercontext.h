#pragma once

// Private to the drawing-file reader: what the readers of the sections share.

#include "filebytes.h"
#include "tagreader.h"

#include "../db/database.h"
#include "../rx/utf8.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hostdxf::reading {

class DeferredBlocks;

// One record: its type (the value of its 0 group) and the groups up to the next 0 group.
struct Record {
    std::string type;
    std::vector<Tag> tags;
    std::size_t line = 0;
};

// How the text of a file is decoded and whether its handles count; read from the header
// before anything else, and handed on to the readers of deferred block contents.
struct Decoding {
    std::string codePage;  // empty: UTF-8 (from AC1021 on)
    bool hasHandles = true;
};

// A strict read refuses a damaged file at its first fault; a recovering read repairs
// what it meets, notes each repair in the database's read report, and reads on.
enum class ReadMode { strict, recovering };

// Header variables that name symbols; set once the tables are read.
struct HeaderSymbols {
    std::string layer, textStyle, dimStyle, linetype;
};

// Group values as the reader takes them: a number that does not parse reads as 0.
inline double real(std::string_view v) {
    double d = 0.0;
    parseReal(v, d);
    return d;
}
inline long long integer(std::string_view v) {
    long long i = 0;
    parseInteger(v, i);
    return i;
}
inline AcDbHandle handleOf(std::string_view v) {
    AcDbHandle h;
    h.fromString(v);
    return h;
}
inline std::wstring wide(std::string_view v) { return hostrx::utf8ToWide(v); }

// A point whose coordinates come in the groups base, base + 10 and base + 20.
struct PointAccumulator {
    AcGePoint3d p;
    bool seen = false;
    bool take(int code, int base, std::string_view v) {
        if (code == base) p.x = real(v), seen = true;
        else if (code == base + 10) p.y = real(v), seen = true;
        else if (code == base + 20) p.z = real(v), seen = true;
        else return false;
        return true;
    }
};

// The state of one read: of a whole file, or of the entity records of one deferred
// block. It holds the tag reader and the first failure, adds the objects it makes to
// the database, and keeps what refers to other objects by handle or by name until those
// can be found (finishReferences). The readers of the sections all work through it.
class ReaderContext {
public:
    // A reader of a whole file; deferred block contents are made from bytes later on.
    ReaderContext(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes, ReadMode mode = ReadMode::strict);
    // A reader of the entity records of one deferred block: the part of the file
    // between its BLOCK and ENDBLK records, which begins at line firstLine.
    ReaderContext(AcDbDatabase& db, const Decoding& decoding, std::string_view part, std::size_t firstLine);

    AcDbDatabase& db() { return m_db; }
    TagReader& tags() { return m_tags; }
    // Null for a reader of part of a file.
    const std::shared_ptr<const FileBytes>& bytes() const { return m_bytes; }
    // The data of a reader of part of a file ends after a whole record.
    bool partOfFile() const { return m_partOfFile; }

    // What the header says of the file: its release and how its text is decoded.
    void useDecoding(std::string version, Decoding decoding);
    const std::string& version() const { return m_version; }
    const Decoding& decoding() const { return m_decoding; }
    bool hasHandles() const { return m_hasHandles; }

    bool recovering() const { return m_mode == ReadMode::recovering; }

    // ---- groups, records and failures ----
    // False at the end of the data and at a malformed group; a recovering read takes
    // the malformed group for the end of what can be read (cutOff).
    bool nextTag(Tag& t) {
        if (m_tags.next(t)) return true;
        if (!m_tags.error().empty()) {
            if (recovering()) noteCut(m_tags.error());
            else fail(Acad::eDwgCorrupt, m_tags.error());
        }
        return false;
    }
    // Keeps the first failure only: later ones follow from it. Always false.
    bool fail(Acad::ErrorStatus es, const std::string& why) {
        if (m_status == Acad::eOk) {
            m_status = es;
            m_message = why;
        }
        return false;
    }
    Acad::ErrorStatus status() const { return m_status; }
    const std::string& message() const { return m_message; }
    std::string where() const { return "line " + std::to_string(m_tags.line()); }
    // Reads the groups of one record after its "0 TYPE" group, up to the next 0 group.
    bool readRecord(Record& rec);
    // Reads the "0 kind" records of a section up to its ENDSEC and hands each to `read`;
    // false on an error, or as soon as `read` answers false.
    bool readSectionRecords(const std::string& kind, const char* section,
                            const std::function<bool(const Record&)>& read);
    // A fault that a strict read refuses the file for (problem, the message) and that a
    // recovering read repairs as `fix` says and notes. Answers whether reading goes on.
    // Contents of a deferred block are made after the read was accepted: there a
    // fault can only be noted.
    bool repair(const std::string& problem, const std::string& fix);
    // The data ended before `where` did: a strict read fails with that; a recovering
    // one keeps what came before (cutOff). Always false.
    bool truncated(const std::string& where);
    // Whether a recovering read met the end of what it could read, the first time.
    bool cutOff() const { return m_cutOff; }
    // In a recovering read, a group "0 SECTION" or "0 EOF" met inside `section`: its
    // ENDSEC is missing. The group is given back to the reader of sections.
    bool sectionEndsEarly(const Tag& t, const char* section);

    // ---- objects ----
    AcDbObjectId add(std::unique_ptr<AcDbObject> obj, AcDbHandle handle);
    // Takes the groups every object has (handle, owner, extension dictionary,
    // application groups, extended data); offers the others to `take`, and keeps those
    // it does not take in the object's persisted data.
    void readCommon(AcDbObject& obj, const Record& rec, AcDbHandle& handle, AcDbHandle& owner,
                    const std::function<bool(const std::string& sub, const Tag&)>& take);
    AcDbObjectId symbolId(AcDbObjectId tableId, std::string_view name);
    // The layer of that name, made when the table lacks it.
    AcDbObjectId layerId(std::string_view name);
    void noteLayer(std::string name, AcDbObjectId id) { m_layers.emplace(std::move(name), id); }

    // ---- references set once everything they name is read ----
    void addFixup(std::function<void()> fix) { m_fixups.push_back(std::move(fix)); }
    void noteOwner(AcDbObjectId id, AcDbHandle owner) { m_owners.push_back({id, owner, true}); }
    // An owner that the object was already placed under by its position in the file; it
    // is only checked to name an object.
    void checkOwner(AcDbObjectId id, AcDbHandle owner) { m_owners.push_back({id, owner, false}); }
    // A reference or dimension whose block is named before all blocks are known.
    void noteBlockName(AcDbObjectId id, const std::string& name) { m_blockNames.emplace_back(id, name); }
    void finishReferences();

    HeaderSymbols& headerSymbols() { return m_headerSymbols; }
    // The first object of the OBJECTS section: the named objects dictionary, when it is one.
    AcDbObjectId rootObject() const { return m_rootObject; }
    void noteObject(AcDbObjectId id) {
        if (m_rootObject.isNull()) m_rootObject = id;
    }

    // ---- deferred block contents ----
    DeferredBlocks* deferred() const { return m_deferred.get(); }
    void setDeferred(std::shared_ptr<DeferredBlocks> deferred) { m_deferred = std::move(deferred); }
    // The blocks that a deferred block references, by name, for the check of cycles.
    void noteDeferredReferences(AcDbObjectId blockId, std::vector<std::string> names) {
        m_deferredReferences[blockId.slot()] = std::move(names);
    }
    // Null for a block whose contents were not deferred.
    const std::vector<std::string>* deferredReferences(AcDbObjectId blockId) const;

private:
    // Reads the next "0 kind" record of a section; false at its ENDSEC (ended) or on an error.
    bool nextSectionRecord(const std::string& kind, const char* section, Record& rec, bool& ended);
    void noteCut(const std::string& where);
    void checkHandle(const Record& rec, bool zero);
    void settleOwner(AcDbObjectId id, AcDbHandle owner, bool adopt);

    AcDbDatabase& m_db;
    TagReader m_tags;
    std::shared_ptr<const FileBytes> m_bytes;
    bool m_partOfFile = false;
    std::shared_ptr<DeferredBlocks> m_deferred;
    std::unordered_map<const hostdb::ObjectSlot*, std::vector<std::string>> m_deferredReferences;
    ReadMode m_mode = ReadMode::strict;
    bool m_cutOff = false;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::string m_message;
    std::string m_version = "AC1009";
    Decoding m_decoding;
    bool m_hasHandles = true;

    std::unordered_map<std::string, AcDbObjectId> m_layers;
    std::vector<std::function<void()>> m_fixups;
    struct OwnerNote {
        AcDbObjectId id;
        AcDbHandle owner;
        bool adopt;  // the object takes it as its owner
    };
    std::vector<OwnerNote> m_owners;
    std::vector<std::pair<AcDbObjectId, std::string>> m_blockNames;
    HeaderSymbols m_headerSymbols;
    AcDbObjectId m_rootObject;
};

}  // namespace hostdxf::reading
