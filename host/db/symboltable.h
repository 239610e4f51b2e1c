#pragma once

#include "idcursor.h"
#include "object.h"

#include <string>
#include <unordered_map>
#include <vector>

class AcDbSymbolTableIterator;

// A named entry of a symbol table (layer, block, text style, ...). Names are unique
// within their table without regard to letter case.
class AcDbSymbolTableRecord : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord)

    const std::wstring& name() const { return m_name; }
    // A copy of the name that the caller frees with acutDelString.
    Acad::ErrorStatus getName(ACHAR*& name) const;
    Acad::ErrorStatus getName(const ACHAR*& name) const;
    Acad::ErrorStatus setName(const ACHAR* name);
    // Names with a vertical bar come from an external reference ("XREF|Layer").
    bool isDependent() const { return m_name.find(L'|') != std::wstring::npos; }
    // The standard flags of the record (group 70), beyond what subclasses model.
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }

protected:
    AcDbSymbolTableRecord() = default;
    AcDbSymbolTableRecord(const AcDbSymbolTableRecord&) = default;

private:
    std::wstring m_name;
    int m_flags = 0;
};

// A table of records, in the order they were added. Records are owned by the
// database; the table holds their ids.
class AcDbSymbolTable : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTable)

    bool has(const ACHAR* name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id, bool getErasedRecord = false) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                            bool openErasedRecord = false) const;
    // Adds a new record (the table must be open for write and in a database); the
    // record stays open for write. Fails with eDuplicateRecordName for a name in use.
    Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);
    Acad::ErrorStatus add(AcDbSymbolTableRecord* record) {
        AcDbObjectId id;
        return add(id, record);
    }
    Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;

    const std::vector<AcDbObjectId>& recordIds() const { return m_records; }
    // For the file reader: records read under their own handles.
    void appendRecordId(AcDbObjectId id, const std::wstring& name);
    // Keeps the name index right after a record was renamed.
    void reindex();

protected:
    AcDbSymbolTable() = default;
    static std::wstring key(std::wstring_view name);

private:
    std::vector<AcDbObjectId> m_records;
    std::unordered_map<std::wstring, std::size_t> m_index;  // upper-cased name -> position
};

// Walks a table's records in order, optionally skipping erased ones.
class AcDbSymbolTableIterator {
public:
    AcDbSymbolTableIterator(std::vector<AcDbObjectId> ids, bool skipDeleted);
    virtual ~AcDbSymbolTableIterator();

    void start(bool atBeginning = true, bool skipDeleted = true) { m_cursor.start(atBeginning, skipDeleted); }
    bool done() const { return m_cursor.done(); }
    void step(bool forward = true, bool skipDeleted = true) { m_cursor.step(forward, skipDeleted); }
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
    Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                bool openErasedRecord = false) const;

private:
    hostdb::IdCursor m_cursor;
};

// Declares a table and its record class that add nothing to the base classes.
#define HOSTDB_PLAIN_TABLE(TABLE, RECORD)                       \
    class RECORD : public AcDbSymbolTableRecord {               \
    public:                                                     \
        ACRX_DECLARE_MEMBERS(RECORD)                            \
        RECORD() = default;                                     \
        AcRxObject* clone() const override { return new RECORD(*this); } \
    };                                                          \
    class TABLE : public AcDbSymbolTable {                      \
    public:                                                     \
        ACRX_DECLARE_MEMBERS(TABLE)                             \
        TABLE() = default;                                      \
    };

HOSTDB_PLAIN_TABLE(AcDbLinetypeTable, AcDbLinetypeTableRecord)
HOSTDB_PLAIN_TABLE(AcDbViewportTable, AcDbViewportTableRecord)
HOSTDB_PLAIN_TABLE(AcDbViewTable, AcDbViewTableRecord)
HOSTDB_PLAIN_TABLE(AcDbUCSTable, AcDbUCSTableRecord)
HOSTDB_PLAIN_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord)
