#include "blocktable.h"

#include "database.h"
#include "entity.h"
#include "idmapping.h"
#include "text.h"

#include <algorithm>
#include <type_traits>
#include "../rx/textcase.h"

ACRX_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, "BLOCK_RECORD")
ACRX_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable, "BLOCK_RECORD")

// A copy of the definition without its contents: entities are objects of their own.
AcRxObject* AcDbBlockTableRecord::clone() const {
    auto* copy = new AcDbBlockTableRecord(*this);
    copy->m_entities.clear();
    copy->m_contentsDeferred = false;
    copy->m_beginId = copy->m_endId = copy->m_layoutId = AcDbObjectId();
    return copy;
}

bool AcDbBlockTableRecord::isLayout() const {
    const std::wstring upper = hostrx::upperCased(name());
    return upper.starts_with(L"*MODEL_SPACE") || upper.starts_with(L"*PAPER_SPACE");
}

void AcDbBlockTableRecord::loadContents() const {
    if (const AcDbDatabase* db = database()) db->loadContents(objectId());
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
    id = AcDbObjectId();
    if (!entity) return Acad::eNullPtr;
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!database()) return Acad::eNotInDatabase;
    if (!entity->objectId().isNull()) return Acad::eAlreadyInDb;
    // Symbols of an entity made outside any database come from this one.
    entity->setDatabaseDefaults(database());
    entity->setOwnerId(objectId());
    entityIds();  // the file's entities come first
    if (const auto es = database()->addAcDbObject(id, entity); es != Acad::eOk) return es;
    m_entities.push_back(id);
    entity->onAppended();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning,
                                                    bool skipDeleted) const {
    iterator = new AcDbBlockTableRecordIterator(entityIds(), skipDeleted);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

bool AcDbBlockTableRecord::hasAttributeDefinitions() const {
    const auto& ids = entityIds();
    return std::any_of(ids.begin(), ids.end(), [](AcDbObjectId id) {
        return !id.isErased() && id.objectClass() && id.objectClass()->isDerivedFrom(AcDbAttributeDefinition::desc());
    });
}

Acad::ErrorStatus AcDbBlockTableRecord::getPreviewIcon(AcArray<Adesk::UInt8>& icon) const {
    icon.vector().assign(m_preview.begin(), m_preview.end());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setPreviewIcon(const AcArray<Adesk::UInt8>& icon) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_preview.assign(icon.begin(), icon.end());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::takePreviewIcon(AcArray<Adesk::UInt8>& icon) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    static_assert(std::is_same_v<std::remove_reference_t<decltype(icon.vector())>, decltype(m_preview)>,
                  "the bytes move only between buffers of one type");
    icon.vector() = std::move(m_preview);
    m_preview.clear();  // a moved-from vector is only valid, not promised empty
    return Acad::eOk;
}

void AcDbBlockTableRecord::remapIds(const AcDbIdMapping& map) {
    AcDbSymbolTableRecord::remapIds(map);
    entityIds();
    for (auto& id : m_entities) id = map.translate(id);
    m_beginId = map.translate(m_beginId);
    m_endId = map.translate(m_endId);
    m_layoutId = map.translate(m_layoutId);
}

Acad::ErrorStatus AcDbBlockTable::getAt(const ACHAR* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                                        bool openErased) const {
    record = nullptr;
    AcDbObjectId id;
    if (const auto es = AcDbSymbolTable::getAt(name, id, openErased); es != Acad::eOk) return es;
    return acdbOpenObject(record, id, mode, openErased);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode) const {
    table = nullptr;
    return acdbOpenObject(table, m_blockTableId, mode);
}

Acad::ErrorStatus AcDbBlockTable::newIterator(AcDbBlockTableIterator*& iterator, bool atBeginning,
                                              bool skipDeleted) const {
    iterator = new AcDbBlockTableIterator(recordIds(), skipDeleted);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableIterator::getRecord(AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                                                    bool openErasedRecord) const {
    record = nullptr;
    AcDbObjectId id;
    if (const auto es = getRecordId(id); es != Acad::eOk) return es;
    return acdbOpenObject(record, id, mode, openErasedRecord);
}

AcDbBlockTableRecordIterator::AcDbBlockTableRecordIterator(std::vector<AcDbObjectId> ids, bool skipDeleted)
    : m_cursor(std::move(ids), skipDeleted) {}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const {
    if (done()) return Acad::eInvalidIndex;
    id = m_cursor.current();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                                          bool openErased) const {
    entity = nullptr;
    if (done()) return Acad::eInvalidIndex;
    return acdbOpenObject(entity, m_cursor.current(), mode, openErased);
}

std::wstring AcDbBlockTable::freeAnonymousName(const std::wstring& prefix) const {
    for (unsigned n = 1;; ++n) {
        const std::wstring candidate = prefix + std::to_wstring(n);
        if (!has(candidate.c_str())) return candidate;
    }
}
