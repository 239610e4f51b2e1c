// Deep clone: copies objects from one database into another together with everything
// they own and the symbols and blocks they refer to.

#include "blockreference.h"
#include "blocktable.h"
#include "database.h"
#include "dictionary.h"
#include "foreignentity.h"
#include "idmapping.h"
#include "symboltable.h"

#include <cwctype>
#include <memory>

namespace {

class DeepCloner {
public:
    DeepCloner(AcDbDatabase& source, AcDbDatabase& destination) : m_src(source), m_dst(destination) {
        m_map.setDestination(&destination);
    }

    // Copies every live entity of sourceBlock to the end of targetBlock.
    void cloneEntities(AcDbObjectId sourceBlock, AcDbObjectId targetBlock) {
        const auto* rec = AcDbBlockTableRecord::cast(sourceBlock.slot()->object);
        if (!rec) return;
        const std::vector<AcDbObjectId> ids = rec->entityIds();
        for (AcDbObjectId id : ids)
            if (!id.isErased()) cloneEntity(id, targetBlock);
    }

    // Translates every reference of the copies to the destination's objects.
    void finish() {
        for (AcDbObjectId id : m_copies) {
            AcDbObject* obj = id.slot()->object;
            obj->remapIds(m_map);
            remapForeign(*obj);
            if (auto* ent = AcDbEntity::cast(obj)) ent->setDatabaseDefaults(&m_dst);
        }
    }

    AcDbObjectId newBlock(const std::wstring& name, const AcDbBlockTableRecord* like) {
        AcDbBlockTable* table = nullptr;
        AcDbObjectId id;
        if (acdbOpenObject(table, m_dst.blockTableId(), AcDb::kForWrite) != Acad::eOk) return id;
        auto* rec = like ? static_cast<AcDbBlockTableRecord*>(like->clone()) : new AcDbBlockTableRecord();
        if (like) rec->setExtensionDictionary(AcDbObjectId());
        rec->setName(name.c_str());
        if (table->add(id, rec) != Acad::eOk) {
            delete rec;
            table->close();
            return AcDbObjectId();
        }
        addBeginEnd(*rec, id);
        rec->close();
        table->close();
        return id;
    }

private:
    void addBeginEnd(AcDbBlockTableRecord& rec, AcDbObjectId recId) {
        AcDbObjectId begin, end;
        auto* b = new AcDbBlockBegin();
        auto* e = new AcDbBlockEnd();
        b->setOwnerId(recId);
        e->setOwnerId(recId);
        b->setDatabaseDefaults(&m_dst);
        e->setDatabaseDefaults(&m_dst);
        m_dst.addAcDbObject(begin, b);
        m_dst.addAcDbObject(end, e);
        b->close();
        e->close();
        rec.setBlockBeginEnd(begin, end);
    }

    AcDbObjectId cloneEntity(AcDbObjectId srcId, AcDbObjectId targetBlock) {
        const AcDbObjectId copy = cloneObject(srcId, targetBlock);
        if (copy.isNull()) return copy;
        if (auto* rec = AcDbBlockTableRecord::cast(targetBlock.slot()->object)) rec->appendEntityId(copy);
        return copy;
    }

    // Copies one object (not a symbol) into the destination under owner, then what it
    // refers to.
    AcDbObjectId cloneObject(AcDbObjectId srcId, AcDbObjectId owner) {
        AcDbObjectId mapped;
        if (m_map.compute(srcId, mapped)) return mapped;
        const AcDbObject* src = srcId.slot()->object;
        if (!src || src->isErased()) return AcDbObjectId();
        std::unique_ptr<AcDbObject> copy(AcDbObject::cast(src->clone()));
        if (!copy) return AcDbObjectId();
        if (auto* ref = AcDbBlockReference::cast(copy.get())) ref->pendingAttributes().clear();
        AcDbObjectId id;
        if (m_dst.addAcDbObject(id, copy.get()) != Acad::eOk) return AcDbObjectId();
        AcDbObject* obj = copy.release();
        obj->close();
        obj->setOwnerId(owner);
        obj->setExtensionDictionary(src->extensionDictionary());
        m_map.assign(srcId, id);
        m_copies.push_back(id);
        cloneReferences(*src, id);
        if (const auto* ref = AcDbBlockReference::cast(src)) {
            auto* refCopy = AcDbBlockReference::cast(obj);
            for (AcDbObjectId attr : ref->attributeIds()) refCopy->appendAttributeId(attr);  // remapped in finish
        }
        return id;
    }

    void cloneReferences(const AcDbObject& src, AcDbObjectId copyId) {
        AcDbObjectIdArray refs;
        src.collectReferences(refs);
        for (AcDbObjectId ref : refs) {
            if (ref.isNull() || ref.database() != &m_src || m_map.compute(ref, ref)) continue;
            AcDbObject* target = ref.slot()->object;
            if (!target) continue;
            if (auto* block = AcDbBlockTableRecord::cast(target))
                mapBlock(ref, *block);
            else if (auto* symbol = AcDbSymbolTableRecord::cast(target))
                mapSymbol(ref, *symbol);
            else
                cloneObject(ref, copyId);  // owned: attributes, dictionaries, fields
        }
    }

    // A symbol of the same name in the destination is used as it is; otherwise the
    // record is copied into the destination's table of the same kind.
    void mapSymbol(AcDbObjectId srcId, const AcDbSymbolTableRecord& symbol) {
        const AcDbObjectId srcTable = symbol.ownerId();
        const AcDbObjectId dstTable = tableLike(srcTable);
        auto* table = dstTable.isNull() ? nullptr : AcDbSymbolTable::cast(dstTable.slot()->object);
        if (!table) return;
        AcDbObjectId existing;
        if (table->getAt(symbol.name().c_str(), existing) == Acad::eOk) {
            m_map.assign(srcId, existing);
            return;
        }
        std::unique_ptr<AcDbSymbolTableRecord> copy(AcDbSymbolTableRecord::cast(symbol.clone()));
        if (!copy) return;
        AcDbSymbolTable* open = nullptr;
        if (acdbOpenObject(open, dstTable, AcDb::kForWrite) != Acad::eOk) return;
        AcDbObjectId id;
        if (open->add(id, copy.get()) == Acad::eOk) {
            copy.release()->close();
            m_map.assign(srcId, id);
            m_copies.push_back(id);
            cloneReferences(symbol, id);
        }
        open->close();
    }

    void mapBlock(AcDbObjectId srcId, const AcDbBlockTableRecord& block) {
        if (block.isLayout()) return;
        std::wstring name = block.name();
        auto* table = AcDbBlockTable::cast(m_dst.blockTableId().slot()->object);
        if (!table) return;
        AcDbObjectId existing;
        if (table->getAt(name.c_str(), existing) == Acad::eOk) {
            if (!block.isAnonymous()) {
                m_map.assign(srcId, existing);
                return;
            }
            name = table->freeAnonymousName(name.substr(0, 2));
        }
        const AcDbObjectId id = newBlock(name, &block);
        if (id.isNull()) return;
        m_map.assign(srcId, id);
        m_copies.push_back(id);
        cloneEntities(srcId, id);
    }

    AcDbObjectId tableLike(AcDbObjectId srcTable) const {
        const AcDbObjectId pairs[][2] = {
            {m_src.layerTableId(), m_dst.layerTableId()},       {m_src.linetypeTableId(), m_dst.linetypeTableId()},
            {m_src.textStyleTableId(), m_dst.textStyleTableId()}, {m_src.dimStyleTableId(), m_dst.dimStyleTableId()},
            {m_src.regAppTableId(), m_dst.regAppTableId()},     {m_src.viewTableId(), m_dst.viewTableId()},
            {m_src.UCSTableId(), m_dst.UCSTableId()},           {m_src.viewportTableId(), m_dst.viewportTableId()}};
        for (const auto& p : pairs)
            if (p[0] == srcTable) return p[1];
        return AcDbObjectId();
    }

    // Handles inside persisted data name source objects: point them at the copies.
    void remapForeign(AcDbObject& obj) {
        if (!obj.foreignData()) return;
        auto translate = [&](hostdb::FilerItem& item) {
            if (!hostdb::isHandleReferenceCode(item.code)) return;
            AcDbHandle h;
            if (!h.fromString(item.value) || h.isNull()) return;
            AcDbObjectId mapped;
            const AcDbObjectId srcId = m_src.idFromHandle(h);
            item.value = m_map.compute(srcId, mapped) ? mapped.handle().toString() : "0";
        };
        for (auto& chunk : obj.foreign().chunks())
            for (auto& item : chunk.items) translate(item);
        for (auto& item : obj.foreign().xdata()) translate(item);
    }

    AcDbDatabase& m_src;
    AcDbDatabase& m_dst;
    AcDbIdMapping m_map;
    std::vector<AcDbObjectId> m_copies;
};

}  // namespace

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const ACHAR* name, AcDbDatabase* source, bool) {
    blockId = AcDbObjectId();
    if (!source) return Acad::eNullPtr;
    if (source == this) return Acad::eSelfReference;
    if (!name || !*name) return Acad::eInvalidBlockName;
    auto* table = AcDbBlockTable::cast(m_blockTableId.isNull() ? nullptr : m_blockTableId.slot()->object);
    if (!table) return Acad::eNoDatabase;
    if (table->has(name)) return Acad::eDuplicateRecordName;
    const AcDbObjectId sourceModel = source->modelSpaceId();
    if (sourceModel.isNull()) return Acad::eNoDatabase;

    DeepCloner cloner(*source, *this);
    const AcDbObjectId id = cloner.newBlock(name, nullptr);
    if (id.isNull()) return Acad::eInvalidBlockName;
    if (auto* rec = AcDbBlockTableRecord::cast(id.slot()->object)) {
        rec->setOrigin(source->insbase());
        rec->setBlockInsertUnits(source->insunits());
    }
    cloner.cloneEntities(sourceModel, id);
    cloner.finish();
    blockId = id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::wblock(AcDbDatabase*& output, AcDbObjectId blockId) {
    output = nullptr;
    if (blockId.isNull() || blockId.database() != this) return Acad::eInvalidInput;
    const auto* rec = AcDbBlockTableRecord::cast(blockId.slot()->object);
    if (!rec || rec->isErased()) return Acad::eWrongObjectType;
    auto db = std::make_unique<AcDbDatabase>(true, true);
    db->setInsbase(rec->origin());
    db->setInsunits(rec->blockInsertUnits());
    DeepCloner cloner(*this, *db);
    cloner.cloneEntities(blockId, db->modelSpaceId());
    cloner.finish();
    output = db.release();
    return Acad::eOk;
}
