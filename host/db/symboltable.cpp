#include "symboltable.h"

#include "blocktable.h"
#include "database.h"
#include "dimstyletable.h"
#include "entity.h"
#include "idmapping.h"
#include "layertable.h"
#include "textstyletable.h"

#include "../rx/textcase.h"

ACRX_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject, "")
ACRX_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject, "TABLE")
ACRX_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord, "LTYPE")
ACRX_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable, "LTYPE")
ACRX_DEFINE_MEMBERS(AcDbViewportTableRecord, AcDbSymbolTableRecord, "VPORT")
ACRX_DEFINE_MEMBERS(AcDbViewportTable, AcDbSymbolTable, "VPORT")
ACRX_DEFINE_MEMBERS(AcDbViewTableRecord, AcDbSymbolTableRecord, "VIEW")
ACRX_DEFINE_MEMBERS(AcDbViewTable, AcDbSymbolTable, "VIEW")
ACRX_DEFINE_MEMBERS(AcDbUCSTableRecord, AcDbSymbolTableRecord, "UCS")
ACRX_DEFINE_MEMBERS(AcDbUCSTable, AcDbSymbolTable, "UCS")
ACRX_DEFINE_MEMBERS(AcDbRegAppTableRecord, AcDbSymbolTableRecord, "APPID")
ACRX_DEFINE_MEMBERS(AcDbRegAppTable, AcDbSymbolTable, "APPID")
ACRX_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord, "LAYER")
ACRX_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable, "LAYER")
ACRX_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord, "STYLE")
ACRX_DEFINE_MEMBERS(AcDbTextStyleTable, AcDbSymbolTable, "STYLE")
ACRX_DEFINE_MEMBERS(AcDbDimStyleTableRecord, AcDbSymbolTableRecord, "DIMSTYLE")
ACRX_DEFINE_MEMBERS(AcDbDimStyleTable, AcDbSymbolTable, "DIMSTYLE")

Acad::ErrorStatus AcDbSymbolTableRecord::getName(ACHAR*& name) const {
    name = hostdbDuplicateString(m_name);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const ACHAR*& name) const {
    name = m_name.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const ACHAR* name) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!name || !*name) return Acad::eInvalidInput;
    m_name = name;
    if (!ownerId().isNull()) {
        AcDbSymbolTable* table = nullptr;
        if (acdbOpenObject(table, ownerId(), AcDb::kForRead) == Acad::eOk) {
            table->reindex();
            table->close();
        }
    }
    return Acad::eOk;
}

std::wstring AcDbSymbolTable::key(std::wstring_view name) {
    return hostrx::upperCased(name);
}

void AcDbSymbolTable::reindex() {
    m_index.clear();
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        AcDbObject* obj = m_records[i].slot() ? m_records[i].slot()->object : nullptr;
        if (const auto* rec = AcDbSymbolTableRecord::cast(obj); rec && !rec->isErased())
            m_index.emplace(key(rec->name()), i);
    }
}

bool AcDbSymbolTable::has(const ACHAR* name) const {
    AcDbObjectId id;
    return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
    for (const auto& r : m_records)
        if (r == id) return !id.isErased();
    return false;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbObjectId& id, bool getErased) const {
    id = AcDbObjectId();
    if (!name) return Acad::eInvalidInput;
    const auto it = m_index.find(key(name));
    if (it != m_index.end() && !m_records[it->second].isErased()) {
        id = m_records[it->second];
        return Acad::eOk;
    }
    if (getErased) {
        const std::wstring k = key(name);
        for (const auto& r : m_records)
            if (const auto* rec = AcDbSymbolTableRecord::cast(r.slot()->object); rec && key(rec->name()) == k) {
                id = r;
                return Acad::eOk;
            }
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                         bool openErased) const {
    record = nullptr;
    AcDbObjectId id;
    if (const auto es = getAt(name, id, openErased); es != Acad::eOk) return es;
    return acdbOpenObject(record, id, mode, openErased);
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
    id = AcDbObjectId();
    if (!record) return Acad::eNullPtr;
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!database()) return Acad::eNotInDatabase;
    if (record->name().empty()) return Acad::eInvalidInput;
    if (has(record->name().c_str())) return Acad::eDuplicateRecordName;
    record->setOwnerId(objectId());
    if (const auto es = database()->addAcDbObject(id, record); es != Acad::eOk) return es;
    m_records.push_back(id);
    m_index.emplace(key(record->name()), m_records.size() - 1);
    return Acad::eOk;
}

void AcDbSymbolTable::appendRecordId(AcDbObjectId id, const std::wstring& name) {
    m_records.push_back(id);
    m_index.emplace(key(name), m_records.size() - 1);
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning,
                                               bool skipDeleted) const {
    iterator = new AcDbSymbolTableIterator(m_records, skipDeleted);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

AcDbSymbolTableIterator::~AcDbSymbolTableIterator() = default;

AcDbSymbolTableIterator::AcDbSymbolTableIterator(std::vector<AcDbObjectId> ids, bool skipDeleted)
    : m_cursor(std::move(ids), skipDeleted) {}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const {
    if (done()) return Acad::eInvalidIndex;
    id = m_cursor.current();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                                     bool openErased) const {
    record = nullptr;
    if (done()) return Acad::eInvalidIndex;
    return acdbOpenObject(record, m_cursor.current(), mode, openErased);
}

void AcDbLayerTableRecord::remapIds(const AcDbIdMapping& map) {
    AcDbSymbolTableRecord::remapIds(map);
    m_linetypeId = map.translate(m_linetypeId);
}

void AcDbLayerTableRecord::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbSymbolTableRecord::collectReferences(hard);
    if (!m_linetypeId.isNull()) hard.append(m_linetypeId);
}
