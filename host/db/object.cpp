#include "object.h"

#include "database.h"
#include "dictionary.h"
#include "entity.h"
#include "field.h"
#include "idmapping.h"
#include "layertable.h"
#include "undorecord.h"

ACRX_DEFINE_MEMBERS(AcDbObject, AcRxObject, "")

namespace hostdb {
FilerItems& ForeignData::chunk(std::string_view subclass) {
    for (auto& c : m_chunks)
        if (c.subclass == subclass) return c.items;
    m_chunks.push_back({std::string(subclass), {}});
    return m_chunks.back().items;
}

const FilerItems* ForeignData::find(std::string_view subclass) const {
    for (const auto& c : m_chunks)
        if (c.subclass == subclass) return &c.items;
    return nullptr;
}
}  // namespace hostdb

AcDbObject::AcDbObject() = default;

// A copy is a new object outside any database: no id, no owner, no extension
// dictionary (that belongs to the original), but the persisted data goes along.
AcDbObject::AcDbObject(const AcDbObject& other)
    : AcRxObject(other),
      m_foreign(other.m_foreign ? std::make_unique<hostdb::ForeignData>(*other.m_foreign) : nullptr) {}

AcDbObject::~AcDbObject() = default;

AcRxObject* AcDbObject::clone() const { return nullptr; }

std::unique_ptr<AcDbObject> AcDbObject::stateCopy() const {
    std::unique_ptr<AcRxObject> copy(duplicate());
    auto* obj = AcDbObject::cast(copy.get());
    if (!obj) return nullptr;
    copy.release();
    obj->m_ownerId = m_ownerId;
    obj->m_extDictId = m_extDictId;
    obj->m_erased = m_erased;
    obj->m_new = m_new;
    obj->m_openMode = AcDb::kForRead;
    obj->m_openCount = 0;
    return std::unique_ptr<AcDbObject>(obj);
}

void AcDbObject::aboutToChange() {
    if (AcDbDatabase* db = database()) db->objectChanging(*m_slot);
}

hostdb::ForeignData& AcDbObject::foreign() {
    if (!m_foreign) m_foreign = std::make_unique<hostdb::ForeignData>();
    return *m_foreign;
}

void AcDbObject::attachToSlot(hostdb::ObjectSlot* slot, bool isNew) {
    m_slot = slot;
    m_new = isNew;
}

void AcDbObject::setOpen(AcDb::OpenMode mode, int count) {
    m_openMode = mode;
    m_openCount = count;
}

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId owner) {
    if (owner != m_ownerId) aboutToChange();
    m_ownerId = owner;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::assertWriteEnabled() const {
    return isWriteEnabled() ? Acad::eOk : Acad::eNotOpenForWrite;
}

Acad::ErrorStatus AcDbObject::close() {
    if (!m_slot) return Acad::eOk;
    if (m_openCount <= 0) return Acad::eInvalidOpenState;
    --m_openCount;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
    if (!m_slot) return Acad::eOk;
    if (m_openCount <= 0) return Acad::eInvalidOpenState;
    if (m_openMode == AcDb::kForWrite) return Acad::eWasOpenForWrite;
    if (m_openCount > 1) return Acad::eWasOpenForRead;  // another reader holds it
    if (const auto* ent = AcDbEntity::cast(this)) {
        AcDbLayerTableRecord* layer = nullptr;
        if (acdbOpenObject(layer, ent->layerId(), AcDb::kForRead) == Acad::eOk) {
            const bool locked = layer->isLocked();
            layer->close();
            if (locked) return Acad::eOnLockedLayer;
        }
    }
    aboutToChange();
    m_openMode = AcDb::kForWrite;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
    if (!m_slot) return Acad::eOk;
    if (m_openMode != AcDb::kForWrite) return Acad::eWasOpenForRead;
    if (m_openCount > 1) return Acad::eWasOpenForWrite;
    m_openMode = AcDb::kForRead;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!m_slot) return Acad::eNotInDatabase;
    if (m_erased == erasing) return erasing ? Acad::eWasErased : Acad::eOk;
    m_erased = erasing;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::createExtensionDictionary() {
    if (!m_slot) return Acad::eNotInDatabase;
    if (!m_extDictId.isNull() && !m_extDictId.isErased()) return Acad::eAlreadyInDb;
    auto* dict = new AcDbDictionary();
    dict->setTreatElementsAsHard(true);
    dict->setOwnerId(objectId());
    AcDbObjectId id;
    if (const auto es = database()->addAcDbObject(id, dict); es != Acad::eOk) {
        delete dict;
        return es;
    }
    dict->close();
    aboutToChange();
    m_extDictId = id;
    return Acad::eOk;
}

namespace {
constexpr const ACHAR* kFieldDictionary = L"ACAD_FIELD";
}

Acad::ErrorStatus AcDbObject::getFieldDictionary(AcDbObjectId& dictId) const {
    dictId = AcDbObjectId();
    AcDbDictionary* xdict = nullptr;
    if (m_extDictId.isNull()) return Acad::eKeyNotFound;
    if (const auto es = acdbOpenObject(xdict, m_extDictId, AcDb::kForRead); es != Acad::eOk) return es;
    const auto es = xdict->getAt(kFieldDictionary, dictId);
    xdict->close();
    return es;
}

bool AcDbObject::hasFields() const {
    AcDbObjectId dictId;
    if (getFieldDictionary(dictId) != Acad::eOk) return false;
    AcDbDictionary* dict = nullptr;
    if (acdbOpenObject(dict, dictId, AcDb::kForRead) != Acad::eOk) return false;
    const bool any = dict->numEntries() > 0;
    dict->close();
    return any;
}

AcDbObjectId AcDbObject::getField(const ACHAR* propertyName) const {
    // Before the object joins its database its fields wait to be attached; a drag
    // shows them already.
    if (!m_slot)
        for (const auto& [name, id] : m_pendingFields)
            if (propertyName && name == propertyName) return id;
    AcDbObjectId dictId, fieldId;
    AcDbDictionary* dict = nullptr;
    if (getFieldDictionary(dictId) != Acad::eOk || acdbOpenObject(dict, dictId, AcDb::kForRead) != Acad::eOk)
        return {};
    dict->getAt(propertyName, fieldId);
    dict->close();
    return fieldId;
}

Acad::ErrorStatus AcDbObject::setField(const ACHAR* propertyName, AcDbField* field, AcDbObjectId& fieldId) {
    fieldId = AcDbObjectId();
    if (!field || !propertyName || !*propertyName) return Acad::eInvalidInput;
    if (!m_slot) {
        if (field->objectId().isNull()) return Acad::eNotInDatabase;
        fieldId = field->objectId();
        m_pendingFields.emplace_back(propertyName, fieldId);
        return Acad::eOk;
    }
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (m_extDictId.isNull() || m_extDictId.isErased())
        if (const auto es = createExtensionDictionary(); es != Acad::eOk) return es;
    AcDbDictionary* xdict = nullptr;
    if (const auto es = acdbOpenObject(xdict, m_extDictId, AcDb::kForWrite); es != Acad::eOk) return es;
    AcDbObjectId dictId;
    if (xdict->getAt(kFieldDictionary, dictId) != Acad::eOk) {
        auto* fieldDict = new AcDbDictionary();
        fieldDict->setTreatElementsAsHard(true);
        if (const auto es = xdict->setAt(kFieldDictionary, fieldDict, dictId); es != Acad::eOk) {
            delete fieldDict;
            xdict->close();
            return es;
        }
        fieldDict->close();
    }
    xdict->close();
    AcDbDictionary* fieldDict = nullptr;
    if (const auto es = acdbOpenObject(fieldDict, dictId, AcDb::kForWrite); es != Acad::eOk) return es;
    Acad::ErrorStatus es = Acad::eOk;
    if (field->objectId().isNull()) {
        // A new field joins the database under this dictionary.
        es = fieldDict->setAt(propertyName, field, fieldId);
        if (es == Acad::eOk) field->close();
    } else {
        // A posted field: take it over as this dictionary's entry.
        fieldId = field->objectId();
        AcDbObjectId replaced;
        fieldDict->remove(propertyName, replaced);
        fieldDict->appendEntry(propertyName, fieldId);
        field->setOwnerId(dictId);
    }
    fieldDict->close();
    return es;
}

void AcDbObject::remapIds(const AcDbIdMapping& map) {
    m_ownerId = map.translate(m_ownerId);
    AcDbObjectId mapped;
    m_extDictId = map.compute(m_extDictId, mapped) ? mapped : AcDbObjectId();
}

void AcDbObject::collectReferences(AcDbObjectIdArray& hard) const {
    if (!m_extDictId.isNull()) hard.append(m_extDictId);
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
    obj = nullptr;
    if (id.isNull()) return Acad::eNullObjectId;
    AcDbObject* target = id.slot()->object;
    if (!target) return Acad::eNullObjectId;
    if (target->isErased() && !openErased) return Acad::eWasErased;
    const int count = target->openCount();
    const bool write = mode == AcDb::kForWrite;
    if (count > 0) {
        const bool heldForWrite = target->openMode() == AcDb::kForWrite;
        if (heldForWrite && !write) return Acad::eWasOpenForWrite;
        if (!heldForWrite && write) return Acad::eWasOpenForRead;
    }
    if (write && count == 0) {
        if (const auto* ent = AcDbEntity::cast(target)) {
            AcDbLayerTableRecord* layer = nullptr;
            if (acdbOpenObject(layer, ent->layerId(), AcDb::kForRead) == Acad::eOk) {
                const bool locked = layer->isLocked();
                layer->close();
                if (locked) return Acad::eOnLockedLayer;
            }
        }
    }
    if (write && count == 0) target->database()->objectChanging(*id.slot());
    target->setOpen(write ? AcDb::kForWrite : AcDb::kForRead, count + 1);
    obj = target;
    return Acad::eOk;
}

bool AcDbObjectId::isErased() const { return m_slot && m_slot->object && m_slot->object->isErased(); }

AcRxClass* AcDbObjectId::objectClass() const {
    return m_slot && m_slot->object ? m_slot->object->isA() : nullptr;
}

void AcDbObject::attachPendingFields() {
    auto pending = std::move(m_pendingFields);
    m_pendingFields.clear();
    for (const auto& [name, id] : pending) {
        AcDbField* field = nullptr;
        if (id.database() != database() || acdbOpenObject(field, id, AcDb::kForWrite) != Acad::eOk) continue;
        AcDbObjectId attached;
        setField(name.c_str(), field, attached);
        field->close();
    }
}
