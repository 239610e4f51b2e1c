#include "dictionary.h"

#include "database.h"
#include "idmapping.h"

#include "../rx/textcase.h"


ACRX_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, "DICTIONARY")
ACRX_DEFINE_MEMBERS(AcDbForeignObject, AcDbObject, "")

const AcDbDictionary::Entry* AcDbDictionary::find(std::wstring_view name) const {
    for (const auto& e : m_entries)
        if (hostrx::equalsNoCase(e.name, name) && !e.id.isErased()) return &e;
    return nullptr;
}

Adesk::UInt32 AcDbDictionary::numEntries() const {
    Adesk::UInt32 n = 0;
    for (const auto& e : m_entries)
        if (!e.id.isErased()) ++n;
    return n;
}

bool AcDbDictionary::has(const ACHAR* name) const { return name && find(name); }

bool AcDbDictionary::has(AcDbObjectId id) const {
    for (const auto& e : m_entries)
        if (e.id == id && !id.isErased()) return true;
    return false;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* name, AcDbObjectId& id) const {
    id = AcDbObjectId();
    if (!name) return Acad::eInvalidKey;
    const Entry* e = find(name);
    if (!e) return Acad::eKeyNotFound;
    id = e->id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* name, AcDbObject*& obj, AcDb::OpenMode mode) const {
    obj = nullptr;
    AcDbObjectId id;
    if (const auto es = getAt(name, id); es != Acad::eOk) return es;
    return acdbOpenAcDbObject(obj, id, mode);
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, std::wstring& name) const {
    for (const auto& e : m_entries)
        if (e.id == id) {
            name = e.name;
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbDictionary::setAt(const ACHAR* name, AcDbObject* obj, AcDbObjectId& id) {
    id = AcDbObjectId();
    if (!name || !*name) return Acad::eInvalidKey;
    if (!obj) return Acad::eNullPtr;
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!database()) return Acad::eNotInDatabase;
    if (obj->objectId().isNull()) {
        obj->setOwnerId(objectId());
        if (const auto es = database()->addAcDbObject(id, obj); es != Acad::eOk) return es;
    } else {
        if (obj->database() != database()) return Acad::eWrongDatabase;
        id = obj->objectId();
        obj->setOwnerId(objectId());
    }
    for (auto& e : m_entries)
        if (hostrx::equalsNoCase(e.name, name)) {
            e = {name, id};
            return Acad::eOk;
        }
    m_entries.push_back({name, id});
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* name) {
    AcDbObjectId id;
    return remove(name, id);
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* name, AcDbObjectId& removedId) {
    removedId = AcDbObjectId();
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (hostrx::equalsNoCase(it->name, name)) {
            removedId = it->id;
            m_entries.erase(it);
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

AcDbDictionaryIterator* AcDbDictionary::newIterator() const {
    std::vector<Entry> live;
    for (const auto& e : m_entries)
        if (!e.id.isErased()) live.push_back(e);
    return new AcDbDictionaryIterator(std::move(live));
}

void AcDbDictionary::remapIds(const AcDbIdMapping& map) {
    AcDbObject::remapIds(map);
    std::vector<Entry> kept;
    for (auto& e : m_entries) {
        AcDbObjectId mapped;
        // Entries that were not cloned along (soft references elsewhere) are dropped.
        if (map.compute(e.id, mapped)) kept.push_back({e.name, mapped});
    }
    m_entries = std::move(kept);
}

void AcDbDictionary::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbObject::collectReferences(hard);
    for (const auto& e : m_entries)
        if (!e.id.isErased()) hard.append(e.id);
}

AcDbDictionaryIterator::AcDbDictionaryIterator(std::vector<AcDbDictionary::Entry> entries)
    : m_entries(std::move(entries)) {}

bool AcDbDictionaryIterator::done() const { return m_pos >= m_entries.size(); }

bool AcDbDictionaryIterator::next() {
    if (done()) return false;
    ++m_pos;
    return !done();
}

const ACHAR* AcDbDictionaryIterator::name() const { return done() ? nullptr : m_entries[m_pos].name.c_str(); }

AcDbObjectId AcDbDictionaryIterator::objectId() const { return done() ? AcDbObjectId() : m_entries[m_pos].id; }

Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& obj, AcDb::OpenMode mode) const {
    obj = nullptr;
    if (done()) return Acad::eInvalidIndex;
    return acdbOpenAcDbObject(obj, m_entries[m_pos].id, mode);
}
