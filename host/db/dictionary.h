#pragma once

#include "object.h"

#include <string>
#include <vector>

class AcDbDictionaryIterator;

// A map from names to objects, in the order entries were added. Names are found
// without regard to letter case. A hard-owner dictionary owns its entries (they are
// cloned and erased with it).
class AcDbDictionary : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDictionary)
    AcDbDictionary() = default;
    AcRxObject* clone() const override { return new AcDbDictionary(*this); }

    Adesk::UInt32 numEntries() const;
    bool has(const ACHAR* name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id) const;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObject*& obj, AcDb::OpenMode mode) const;
    Acad::ErrorStatus nameAt(AcDbObjectId id, std::wstring& name) const;
    // Adds (or replaces) an entry; a new object joins the database, owned by this
    // dictionary, and stays open for write.
    Acad::ErrorStatus setAt(const ACHAR* name, AcDbObject* obj, AcDbObjectId& id);
    Acad::ErrorStatus remove(const ACHAR* name);
    Acad::ErrorStatus remove(const ACHAR* name, AcDbObjectId& removedId);
    AcDbDictionaryIterator* newIterator() const;

    bool isTreatElementsAsHard() const { return m_hardOwner; }
    void setTreatElementsAsHard(bool v) { m_hardOwner = v; }
    int mergeStyle() const { return m_mergeStyle; }
    void setMergeStyle(int s) { m_mergeStyle = s; }

    struct Entry {
        std::wstring name;
        AcDbObjectId id;
    };
    const std::vector<Entry>& entries() const { return m_entries; }
    // For the file reader: an entry under an id read from the file.
    void appendEntry(const std::wstring& name, AcDbObjectId id) { m_entries.push_back({name, id}); }

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

private:
    const Entry* find(std::wstring_view name) const;
    std::vector<Entry> m_entries;
    bool m_hardOwner = false;
    int m_mergeStyle = 1;
};

class AcDbDictionaryIterator {
public:
    explicit AcDbDictionaryIterator(std::vector<AcDbDictionary::Entry> entries);
    bool done() const;
    bool next();
    const ACHAR* name() const;
    AcDbObjectId objectId() const;
    Acad::ErrorStatus getObject(AcDbObject*& obj, AcDb::OpenMode mode) const;

private:
    std::vector<AcDbDictionary::Entry> m_entries;
    std::size_t m_pos = 0;
};

// An object of a kind the host does not model (layouts, records, styles of other
// applications): kept as read and written back unchanged.
class AcDbForeignObject : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbForeignObject)
    explicit AcDbForeignObject(std::string dxfName = "") : m_dxfName(std::move(dxfName)) {}
    AcRxObject* clone() const override { return new AcDbForeignObject(*this); }
    const std::string& dxfName() const { return m_dxfName; }

private:
    std::string m_dxfName;
};
