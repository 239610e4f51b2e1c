#pragma once

#include "../ge/point3d.h"
#include "symboltable.h"

#include <cstdint>

class AcDbEntity;
class AcDbBlockTableRecordIterator;
class AcDbBlockTableIterator;

// A block definition: a named, ordered collection of entities with a base point.
// Model space and paper space are block records too (layout blocks).
class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord)
    AcDbBlockTableRecord() = default;
    AcRxObject* clone() const override;

    // Block flags of the definition.
    static constexpr int kAnonymous = 1, kHasAttributes = 2, kExternal = 4, kOverlay = 8, kXrefDependent = 16,
                         kXrefResolved = 32, kReferenced = 64;

    // Adds a new entity at the end (the record must be open for write and in a database).
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity) {
        AcDbObjectId id;
        return appendAcDbEntity(id, entity);
    }
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    // The entities in order; a block read from a file makes them here when first asked.
    const std::vector<AcDbObjectId>& entityIds() const {
        if (m_contentsDeferred) loadContents();
        return m_entities;
    }
    void appendEntityId(AcDbObjectId id) { m_entities.push_back(id); }
    // For the file reader: the entities are made from the file when first asked for.
    void setContentsDeferred(bool deferred) { m_contentsDeferred = deferred; }
    bool contentsDeferred() const { return m_contentsDeferred; }

    bool isAnonymous() const { return (flags() & kAnonymous) != 0; }
    bool isLayout() const;
    bool isFromExternalReference() const { return (flags() & kExternal) != 0; }
    bool isFromOverlayReference() const { return (flags() & kOverlay) != 0; }
    bool hasAttributeDefinitions() const;

    AcGePoint3d origin() const { return m_origin; }
    void setOrigin(const AcGePoint3d& p) { m_origin = p; }
    const std::wstring& pathName() const { return m_pathName; }
    void setPathName(const std::wstring& path) { m_pathName = path; }
    const std::wstring& comments() const { return m_comments; }
    void setComments(const std::wstring& text) { m_comments = text; }
    AcDb::UnitsValue blockInsertUnits() const { return m_units; }
    void setBlockInsertUnits(AcDb::UnitsValue units) { m_units = units; }
    bool explodable() const { return m_explodable; }
    void setExplodable(bool v) { m_explodable = v; }
    bool blockScaling() const { return m_scalable; }
    void setBlockScaling(bool v) { m_scalable = v; }

    // The preview icon: a packed device-independent bitmap, passed through unchanged.
    Acad::ErrorStatus getPreviewIcon(AcArray<Adesk::UInt8>& icon) const;
    Acad::ErrorStatus setPreviewIcon(const AcArray<Adesk::UInt8>& icon);
    // Hands the icon's bytes over to the caller (replacing what icon held) and leaves the
    // record without one; needs a write open. For a drawing read only to list its blocks
    // and destroyed afterwards, where a copy would be the listing's largest cost.
    Acad::ErrorStatus takePreviewIcon(AcArray<Adesk::UInt8>& icon);
    bool hasPreviewIcon() const { return !m_preview.empty(); }
    const std::vector<std::uint8_t>& previewBytes() const { return m_preview; }
    void setPreviewBytes(std::vector<std::uint8_t> bytes) { m_preview = std::move(bytes); }

    AcDbObjectId getLayoutId() const { return m_layoutId; }
    void setLayoutId(AcDbObjectId id) { m_layoutId = id; }
    // The objects that open and close the definition in a drawing file.
    AcDbObjectId blockBeginId() const { return m_beginId; }
    AcDbObjectId blockEndId() const { return m_endId; }
    void setBlockBeginEnd(AcDbObjectId begin, AcDbObjectId end) {
        m_beginId = begin;
        m_endId = end;
    }

    void remapIds(const AcDbIdMapping& map) override;

private:
    void loadContents() const;

    std::vector<AcDbObjectId> m_entities;
    bool m_contentsDeferred = false;
    AcDbObjectId m_beginId, m_endId, m_layoutId;
    AcGePoint3d m_origin;
    std::wstring m_pathName, m_comments;
    AcDb::UnitsValue m_units = AcDb::kUnitsUndefined;
    bool m_explodable = true, m_scalable = false;
    std::vector<std::uint8_t> m_preview;
};

class AcDbBlockTable : public AcDbSymbolTable {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockTable)
    AcDbBlockTable() = default;
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbObjectId& id, bool getErased = false) const {
        return AcDbSymbolTable::getAt(name, id, getErased);
    }
    Acad::ErrorStatus getAt(const ACHAR* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                            bool openErased = false) const;
    // The first unused anonymous name of a kind: prefix "*D" gives "*D1", "*D2", ...
    // Anonymous names only need to be unique.
    std::wstring freeAnonymousName(const std::wstring& prefix) const;
    using AcDbSymbolTable::newIterator;
    // The caller owns the iterator and deletes it.
    Acad::ErrorStatus newIterator(AcDbBlockTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
};

// Walks the block records of a block table in order.
class AcDbBlockTableIterator : public AcDbSymbolTableIterator {
public:
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
    using AcDbSymbolTableIterator::getRecord;
    Acad::ErrorStatus getRecord(AcDbBlockTableRecord*& record, AcDb::OpenMode mode, bool openErasedRecord = false) const;
};

// Walks the entities of a block record in order.
class AcDbBlockTableRecordIterator {
public:
    AcDbBlockTableRecordIterator(std::vector<AcDbObjectId> ids, bool skipDeleted);
    void start(bool atBeginning = true, bool skipDeleted = true) { m_cursor.start(atBeginning, skipDeleted); }
    bool done() const { return m_cursor.done(); }
    void step(bool forward = true, bool skipDeleted = true) { m_cursor.step(forward, skipDeleted); }
    Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
    Acad::ErrorStatus getEntity(AcDbEntity*& entity, AcDb::OpenMode mode, bool openErased = false) const;

private:
    hostdb::IdCursor m_cursor;
};

AcDbObjectId acdbSymUtilBlockModelSpaceId(AcDbDatabase* db);
