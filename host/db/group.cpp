#include "group.h"

#include "dictionary.h"
#include "idmapping.h"

#include <algorithm>

ACRX_DEFINE_MEMBERS(AcDbGroup, AcDbObject, "GROUP")

AcDbGroup::AcDbGroup(const ACHAR* description, bool selectable)
    : m_description(description ? description : L""), m_selectable(selectable) {}

Adesk::UInt32 AcDbGroup::numEntities() const {
    return static_cast<Adesk::UInt32>(
        std::count_if(m_members.begin(), m_members.end(), [](AcDbObjectId id) { return id.isValid() && !id.isErased(); }));
}

Adesk::UInt32 AcDbGroup::allEntityIds(AcDbObjectIdArray& ids) const {
    ids.removeAll();
    for (AcDbObjectId id : m_members)
        if (id.isValid() && !id.isErased()) ids.append(id);
    return static_cast<Adesk::UInt32>(ids.length());
}

Acad::ErrorStatus AcDbGroup::append(AcDbObjectId id) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (id.isNull()) return Acad::eNullObjectId;
    if (database() && id.database() != database()) return Acad::eWrongDatabase;
    if (has(id)) return Acad::eAlreadyInDb;
    m_members.push_back(id);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::remove(AcDbObjectId id) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    const auto it = std::find(m_members.begin(), m_members.end(), id);
    if (it == m_members.end()) return Acad::eKeyNotFound;
    m_members.erase(it);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::clear() {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_members.clear();
    return Acad::eOk;
}

bool AcDbGroup::has(AcDbObjectId id) const { return std::find(m_members.begin(), m_members.end(), id) != m_members.end(); }

Acad::ErrorStatus AcDbGroup::setDescription(const ACHAR* text) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_description = text ? text : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbGroup::setSelectable(bool v) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_selectable = v;
    return Acad::eOk;
}

std::wstring AcDbGroup::name() const {
    std::wstring name;
    if (ownerId().isNull() || !ownerId().slot()->object) return name;
    if (const auto* dict = AcDbDictionary::cast(ownerId().slot()->object)) dict->nameAt(objectId(), name);
    return name;
}

void AcDbGroup::remapIds(const AcDbIdMapping& map) {
    AcDbObject::remapIds(map);
    std::vector<AcDbObjectId> kept;
    for (AcDbObjectId id : m_members) {
        AcDbObjectId mapped;
        if (map.compute(id, mapped)) kept.push_back(mapped);
    }
    m_members = std::move(kept);
}
