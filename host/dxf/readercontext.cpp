#include "readercontext.h"

#include "../db/blockreference.h"
#include "../db/blocktable.h"
#include "../db/dimension.h"
#include "../db/layertable.h"

namespace hostdxf::reading {

ReaderContext::ReaderContext(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes, ReadMode mode)
    : m_db(db), m_tags(bytes->view()), m_bytes(std::move(bytes)), m_mode(mode) {
    m_tags.releaseBehind(*m_bytes);
}

bool ReaderContext::repair(const std::string& problem, const std::string& fix) {
    if (!recovering() && !m_partOfFile) return fail(Acad::eDwgCorrupt, problem);
    m_db.readReport().repairs.push_back(hostrx::utf8ToWide(problem + "; " + fix));
    return true;
}

void ReaderContext::noteCut(const std::string& where) {
    if (m_cutOff) return;
    m_cutOff = true;
    m_db.readReport().repairs.push_back(hostrx::utf8ToWide(where + "; what came before was kept"));
}

bool ReaderContext::truncated(const std::string& where) {
    if (m_status != Acad::eOk) return false;
    if (!recovering()) return fail(Acad::eDwgCorrupt, where + ": it is truncated");
    noteCut(where);
    return false;
}

bool ReaderContext::sectionEndsEarly(const Tag& t, const char* section) {
    if (!recovering() || t.code != 0 || (t.value != "SECTION" && t.value != "EOF")) return false;
    m_tags.pushBack(t);
    repair(std::string("the ") + section + " section has no ENDSEC", "it was ended before " + where());
    return true;
}

ReaderContext::ReaderContext(AcDbDatabase& db, const Decoding& decoding, std::string_view part, std::size_t firstLine)
    : m_db(db), m_tags(part, firstLine), m_partOfFile(true) {
    useDecoding(m_version, decoding);
}

void ReaderContext::useDecoding(std::string version, Decoding decoding) {
    m_version = std::move(version);
    m_hasHandles = decoding.hasHandles;
    if (!decoding.codePage.empty()) m_tags.setCodePage(decoding.codePage, true);
    m_decoding = std::move(decoding);
}

bool ReaderContext::readRecord(Record& rec) {
    rec.tags.clear();
    Tag t;
    while (m_tags.next(t)) {
        if (t.code == 0) {
            m_tags.pushBack(t);
            return true;
        }
        rec.tags.push_back(t);
    }
    if (!m_tags.error().empty()) {
        if (!recovering()) return fail(Acad::eDwgCorrupt, m_tags.error());
        noteCut(m_tags.error() + ", inside a " + rec.type + " record, which was dropped");
        return false;
    }
    if (m_partOfFile) return true;
    return truncated("the file ends inside a " + rec.type + " record (" + where() + ")");
}

bool ReaderContext::nextSectionRecord(const std::string& kind, const char* section, Record& rec, bool& ended) {
    ended = false;
    Tag t;
    if (!nextTag(t)) return truncated(std::string("the file ends inside the ") + section + " section");
    if (t.code != 0) return fail(Acad::eBadDxfSequence, where() + ": a " + kind + " must begin with 0 " + kind);
    if (t.value == "ENDSEC" || sectionEndsEarly(t, section)) {
        ended = true;
        return false;
    }
    if (t.value != kind)
        return fail(Acad::eBadDxfSequence,
                    where() + ": unexpected " + std::string(t.value) + " in the " + section + " section");
    rec = Record{kind, {}, m_tags.line()};
    return readRecord(rec);
}

bool ReaderContext::readSectionRecords(const std::string& kind, const char* section,
                                       const std::function<bool(const Record&)>& read) {
    Record rec;
    bool ended = false;
    while (nextSectionRecord(kind, section, rec, ended))
        if (!read(rec)) return false;
    return ended;
}

AcDbObjectId ReaderContext::add(std::unique_ptr<AcDbObject> obj, AcDbHandle handle) {
    AcDbObjectId id;
    // Resident objects only: asking for deferred contents here would make them while
    // other contents are being made.
    const bool duplicate = !handle.isNull() && !m_db.residentIdFromHandle(handle).isNull();
    m_db.addReadObject(id, std::move(obj), handle);
    if (duplicate)
        repair("handle " + handle.toString() + " is used twice",
               "the second object got handle " + id.handle().toString());
    return id;
}

void ReaderContext::readCommon(AcDbObject& obj, const Record& rec, AcDbHandle& handle, AcDbHandle& owner,
                               const std::function<bool(const std::string& sub, const Tag&)>& take) {
    std::string sub;
    bool inXdata = false, zeroHandle = false;
    for (std::size_t i = 0; i < rec.tags.size(); ++i) {
        const Tag& t = rec.tags[i];
        if (inXdata || t.code >= 1000) {
            inXdata = true;
            obj.foreign().xdata().push_back({t.code, std::string(t.value)});
            continue;
        }
        if (t.code == 100) {
            sub = std::string(t.value);
            continue;
        }
        if (sub.empty() && (t.code == 5 || (t.code == 105 && rec.type == "DIMSTYLE"))) {
            handle = handleOf(t.value);
            zeroHandle = handle.isNull();
            continue;
        }
        if (sub.empty() && t.code == 330 && owner.isNull()) {
            owner = handleOf(t.value);
            continue;
        }
        if (t.code == 102 && t.value == "{ACAD_XDICTIONARY") {
            for (++i; i < rec.tags.size() && rec.tags[i].code != 102; ++i)
                if (rec.tags[i].code == 360) {
                    const AcDbHandle h = handleOf(rec.tags[i].value);
                    AcDbObject* self = &obj;
                    m_fixups.push_back([this, self, h] { self->setExtensionDictionary(m_db.idFromHandle(h)); });
                }
            continue;
        }
        if (t.code == 102) {  // other application groups are kept as they are
            auto& items = obj.foreign().chunk(sub);
            for (; i < rec.tags.size(); ++i) {
                items.push_back({rec.tags[i].code, std::string(rec.tags[i].value)});
                if (rec.tags[i].code == 102 && rec.tags[i].value == "}") break;
            }
            continue;
        }
        if (take && take(sub, t)) continue;
        obj.foreign().chunk(sub).push_back({t.code, std::string(t.value)});
    }
    if (handle.isNull()) checkHandle(rec, zeroHandle);
}

// From the 2000 release on, every object of a file with handles has one, and never 0:
// the object then gets a new one, as one made here would.
void ReaderContext::checkHandle(const Record& rec, bool zero) {
    if (!m_hasHandles || m_version < "AC1015") return;
    repair("line " + std::to_string(rec.line) + ": a " + rec.type + " record has " + (zero ? "handle 0" : "no handle"),
           "it got a new handle");
}

AcDbObjectId ReaderContext::symbolId(AcDbObjectId tableId, std::string_view name) {
    auto* table = tableId.isNull() ? nullptr : AcDbSymbolTable::cast(tableId.slot()->object);
    AcDbObjectId id;
    if (table) table->getAt(wide(name).c_str(), id);
    return id;
}

AcDbObjectId ReaderContext::layerId(std::string_view name) {
    const std::string key(name);
    if (const auto it = m_layers.find(key); it != m_layers.end()) return it->second;
    AcDbObjectId id = symbolId(m_db.layerTableId(), name.empty() ? "0" : name);
    if (id.isNull()) {
        // Entities may name layers that the table lacks; they are made as the
        // drawing programs make them.
        auto* table = m_db.layerTableId().isNull() ? nullptr : AcDbLayerTable::cast(m_db.layerTableId().slot()->object);
        if (table) {
            auto* layer = new AcDbLayerTableRecord();
            layer->setName(wide(name.empty() ? "0" : name).c_str());
            table->setOpen(AcDb::kForWrite, 1);
            if (table->add(id, layer) == Acad::eOk) {
                layer->close();
            } else {
                delete layer;
            }
            table->close();
        }
    }
    m_layers.emplace(key, id);
    return id;
}

void ReaderContext::finishReferences() {
    for (auto& fix : m_fixups) fix();
    m_fixups.clear();
    for (const auto& note : m_owners) settleOwner(note.id, note.owner, note.adopt);
    m_owners.clear();
    for (const auto& [id, name] : m_blockNames) {
        const AcDbObjectId blockId = symbolId(m_db.blockTableId(), name);
        AcDbObject* obj = id.slot()->object;
        if (auto* ref = AcDbBlockReference::cast(obj)) {
            if (blockId.isNull())
                repair("reference " + id.handle().toString() + " names block \"" + name + "\", which the drawing does not define",
                       "it was kept, showing nothing");
            else ref->setOpen(AcDb::kForWrite, 0), ref->setBlockTableRecord(blockId), ref->setOpen(AcDb::kForRead, 0);
        } else if (auto* dim = AcDbDimension::cast(obj)) {
            dim->setDimBlockId(blockId);
        }
    }
    m_blockNames.clear();
}

void ReaderContext::settleOwner(AcDbObjectId id, AcDbHandle owner, bool adopt) {
    // Owners are table records and dictionaries, resident in every read: the plain
    // lookup, which may make deferred contents, is for the rare miss.
    AcDbObjectId ownerId = m_db.residentIdFromHandle(owner);
    if (ownerId.isNull()) ownerId = m_db.idFromHandle(owner);
    AcDbObject* obj = id.slot()->object;
    if (!ownerId.isNull()) {
        if (adopt) obj->setOwnerId(ownerId);
        return;
    }
    const std::string what = hostrx::wideToUtf8(AcDbDatabase::describe(id)) + " " + id.handle().toString();
    if (!adopt) {
        repair("the owner " + owner.toString() + " of " + what + " is no object", "it stays where the file places it");
    } else if (repair("the owner " + owner.toString() + " of " + what + " is no object",
                      "it was given to the named objects dictionary")) {
        obj->setOwnerId(m_rootObject);
    }
}

const std::vector<std::string>* ReaderContext::deferredReferences(AcDbObjectId blockId) const {
    const auto names = m_deferredReferences.find(blockId.slot());
    return names == m_deferredReferences.end() ? nullptr : &names->second;
}

}  // namespace hostdxf::reading
