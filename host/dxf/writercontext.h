#pragma once

// Private to the drawing-file writer: what the writers of the sections share.

#include "tagwriter.h"

#include "../db/database.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace hostdxf::writing {

inline std::uint64_t handleOf(AcDbObjectId id) { return id.handle().value(); }
// The name of the symbol table record; empty for none.
std::wstring nameOf(AcDbObjectId id);

// The state of one write: the text so far, the next handle for records that have no
// object of their own, and which class sections of the current record are out. Groups
// the host keeps without modelling them go back in their place (chunk) or, for a class
// section the writer does not know, at the end of the record (endRecord).
class WriterContext {
public:
    explicit WriterContext(const AcDbDatabase& db) : m_db(db), m_nextHandle(db.handseed().value()) {}

    const AcDbDatabase& db() const { return m_db; }
    TagWriter& out() { return m_w; }

    // The object's handle; a new one for a record that has no object of its own.
    std::uint64_t handleOrFresh(AcDbObjectId id) { return id.isNull() ? m_nextHandle++ : handleOf(id); }
    // Above every handle written so far: the handle seed of the file.
    std::uint64_t nextHandle() const { return m_nextHandle; }

    // 0 SECTION and its name; 0 ENDSEC.
    void beginSection(std::string_view name) {
        m_w.text(0, "SECTION");
        m_w.text(2, name);
    }
    void endSection() { m_w.text(0, "ENDSEC"); }

    // Writes 0 TYPE, handle, application groups and owner.
    void begin(const AcDbObject& obj, std::string_view type, std::uint64_t handle, std::uint64_t owner);
    // Groups of a class section that the host keeps without modelling them.
    void chunk(const AcDbObject& obj, const std::string& subclass);
    // A class section that the caller wrote itself, kept groups and all.
    void chunkWritten(const std::string& subclass) { m_chunkDone.insert(subclass); }
    // For a record that has no object of its own: none of its class sections is out.
    void forgetChunks() { m_chunkDone.clear(); }
    // The kept class sections not written in their place, then the extended data.
    void endRecord(const AcDbObject& obj);

private:
    const AcDbDatabase& m_db;
    TagWriter m_w;
    std::uint64_t m_nextHandle;
    std::set<std::string> m_chunkDone;
};

// The writers of the sections, each writing its section whole, from 0 SECTION to 0 ENDSEC.
void writeHeader(WriterContext& ctx);      // headerwriter.cpp
void writeTables(WriterContext& ctx);      // tablewriter.cpp
void writeBlocks(WriterContext& ctx);      // blockwriter.cpp: the block definitions,
void writeEntities(WriterContext& ctx);    // and the entities of model and paper space
void writeObjects(WriterContext& ctx);     // objectwriter.cpp

}  // namespace hostdxf::writing
