#include "entity.h"

#include "database.h"
#include "idmapping.h"
#include "layertable.h"
#include "symboltable.h"

#include <cstring>

ACRX_DEFINE_MEMBERS(AcDbEntity, AcDbObject, "")

ACHAR* hostdbDuplicateString(const std::wstring& text) {
    auto* copy = new ACHAR[text.size() + 1];
    std::wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void acutDelString(ACHAR*& text) {
    delete[] text;
    text = nullptr;
}

namespace {
std::wstring recordName(AcDbObjectId id) {
    if (id.isNull() || !id.slot()->object) return {};
    const auto* rec = AcDbSymbolTableRecord::cast(id.slot()->object);
    return rec ? rec->name() : std::wstring();
}

AcDbObjectId lookUp(AcDbDatabase* db, AcDbObjectId tableId, const ACHAR* name) {
    AcDbSymbolTable* table = nullptr;
    AcDbObjectId id;
    if (!db || !name || acdbOpenObject(table, tableId, AcDb::kForRead) != Acad::eOk) return id;
    table->getAt(name, id);
    table->close();
    return id;
}

AcDbDatabase* databaseFor(const AcDbEntity& ent) {
    return ent.database() ? ent.database() : acdbHostApplicationServices()->workingDatabase();
}
}  // namespace

std::function<void(AcDbEntity*)>& AcDbEntity::drawHook() {
    static std::function<void(AcDbEntity*)> hook;
    return hook;
}

Adesk::Boolean AcDbEntity::draw() {
    if (drawHook()) drawHook()(this);
    return true;
}

void AcDbEntity::forEachSubentity(const std::function<void(AcDbEntity&)>&) {}

Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& color, bool doSubents) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_color = color;
    if (doSubents) forEachSubentity([&](AcDbEntity& e) { e.setColor(color, false); });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 index, bool doSubents) {
    if (index > 257) return Acad::eInvalidInput;
    return setColor(AcCmColor::fromIndex(static_cast<std::int16_t>(index)), doSubents);
}

std::wstring AcDbEntity::layerName() const { return recordName(m_layerId); }
ACHAR* AcDbEntity::layer() const { return hostdbDuplicateString(layerName()); }

Acad::ErrorStatus AcDbEntity::setLayer(const ACHAR* name, bool doSubents, bool allowHiddenLayer) {
    AcDbDatabase* db = databaseFor(*this);
    if (!db) return Acad::eNoDatabase;
    const AcDbObjectId id = lookUp(db, db->layerTableId(), name);
    if (id.isNull()) return Acad::eKeyNotFound;
    return setLayer(id, doSubents, allowHiddenLayer);
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId layerId, bool doSubents, bool) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (layerId.isNull() || !AcDbLayerTableRecord::cast(layerId.slot()->object)) return Acad::eInvalidInput;
    if (database() && layerId.database() != database()) return Acad::eWrongDatabase;
    m_layerId = layerId;
    if (doSubents) forEachSubentity([&](AcDbEntity& e) { e.setLayer(layerId, false); });
    return Acad::eOk;
}

ACHAR* AcDbEntity::linetype() const { return hostdbDuplicateString(recordName(m_linetypeId)); }

Acad::ErrorStatus AcDbEntity::setLinetype(const ACHAR* name, bool doSubents) {
    AcDbDatabase* db = databaseFor(*this);
    if (!db) return Acad::eNoDatabase;
    const AcDbObjectId id = lookUp(db, db->linetypeTableId(), name);
    if (id.isNull()) return Acad::eKeyNotFound;
    return setLinetype(id, doSubents);
}

Acad::ErrorStatus AcDbEntity::setLinetype(AcDbObjectId id, bool doSubents) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (database() && !id.isNull() && id.database() != database()) return Acad::eWrongDatabase;
    m_linetypeId = id;
    if (doSubents) forEachSubentity([&](AcDbEntity& e) { e.setLinetype(id, false); });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLinetypeScale(double scale, bool doSubents) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!(scale > 0.0)) return Acad::eInvalidInput;
    m_linetypeScale = scale;
    if (doSubents) forEachSubentity([&](AcDbEntity& e) { e.setLinetypeScale(scale, false); });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight w, bool doSubents) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_lineWeight = w;
    if (doSubents) forEachSubentity([&](AcDbEntity& e) { e.setLineWeight(w, false); });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility v, bool doSubents) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    m_visibility = v;
    if (doSubents) forEachSubentity([&](AcDbEntity& e) { e.setVisibility(v, false); });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setPropertiesFrom(const AcDbEntity* other, bool doSubents) {
    if (!other) return Acad::eNullPtr;
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    // Across databases the symbols are matched by name; a name missing here keeps the
    // entity's own.
    if (database() && other->database() && database() != other->database()) {
        setLayer(other->layerName().c_str(), doSubents);
        const std::wstring lt = recordName(other->m_linetypeId);
        if (!lt.empty()) setLinetype(lt.c_str(), doSubents);
    } else {
        m_layerId = other->m_layerId;
        m_linetypeId = other->m_linetypeId;
    }
    m_color = other->m_color;
    m_linetypeScale = other->m_linetypeScale;
    m_lineWeight = other->m_lineWeight;
    m_visibility = other->m_visibility;
    if (doSubents)
        forEachSubentity([&](AcDbEntity& e) {
            e.m_layerId = m_layerId;
            e.m_linetypeId = m_linetypeId;
            e.m_color = m_color;
            e.m_linetypeScale = m_linetypeScale;
            e.m_lineWeight = m_lineWeight;
            e.m_visibility = m_visibility;
        });
    return Acad::eOk;
}

void AcDbEntity::setDatabaseDefaults(AcDbDatabase* db) {
    if (!db) db = databaseFor(*this);
    if (!db) return;
    if (m_layerId.isNull() || m_layerId.database() != db) {
        const std::wstring name = layerName();
        const AcDbObjectId same = name.empty() ? AcDbObjectId() : lookUp(db, db->layerTableId(), name.c_str());
        m_layerId = same.isNull() ? db->clayer() : same;
    }
    if (m_linetypeId.isNull() || m_linetypeId.database() != db) {
        const std::wstring name = recordName(m_linetypeId);
        const AcDbObjectId same = name.empty() ? AcDbObjectId() : lookUp(db, db->linetypeTableId(), name.c_str());
        m_linetypeId = same.isNull() ? db->celtype() : same;
    }
    subSetDatabaseDefaults(db);
}

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) { return Acad::eNotApplicable; }

Acad::ErrorStatus AcDbEntity::getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& copy) const {
    copy = nullptr;
    std::unique_ptr<AcRxObject> obj(clone());
    auto* ent = AcDbEntity::cast(obj.get());
    if (!ent) return Acad::eNotApplicable;
    if (const auto es = ent->transformBy(xform); es != Acad::eOk) return es;
    obj.release();
    copy = ent;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents&) const { return Acad::eInvalidExtents; }
Acad::ErrorStatus AcDbEntity::explode(AcDbVoidPtrArray&) const { return Acad::eNotApplicable; }

void AcDbEntity::remapIds(const AcDbIdMapping& map) {
    AcDbObject::remapIds(map);
    m_layerId = map.translate(m_layerId);
    m_linetypeId = map.translate(m_linetypeId);
}

void AcDbEntity::collectReferences(AcDbObjectIdArray& hard) const {
    AcDbObject::collectReferences(hard);
    if (!m_layerId.isNull()) hard.append(m_layerId);
    if (!m_linetypeId.isNull()) hard.append(m_linetypeId);
}
