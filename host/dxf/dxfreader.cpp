#include "dxfreader.h"

#include "tagreader.h"
#include "textcodec.h"

#include "../db/blockreference.h"
#include "../db/blocktable.h"
#include "../db/curves.h"
#include "../db/database.h"
#include "../db/dictionary.h"
#include "../db/dimension.h"
#include "../db/dimstyletable.h"
#include "../db/field.h"
#include "../db/foreignentity.h"
#include "../db/group.h"
#include "../db/layertable.h"
#include "../db/mtext.h"
#include "../db/text.h"
#include "../db/textstyletable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cwctype>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

namespace hostdxf {

std::wstring binaryFileKind(std::string_view data) {
    if (data.starts_with("AutoCAD Binary DXF")) return L"a binary DXF file";
    const std::string_view head = data.substr(0, 6);
    if (head.size() == 6 && head.starts_with("AC1") && data.substr(0, 4096).find('\0') != std::string_view::npos)
        return L"a binary DWG file";
    if (data.substr(0, 4096).find('\0') != std::string_view::npos) return L"a binary file";
    return {};
}

namespace {

using hostdb::FilerItem;
using hostdb::FilerItems;

struct Record {
    std::string type;
    std::vector<Tag> tags;
    std::size_t line = 0;
};

double real(std::string_view v) {
    double d = 0.0;
    parseReal(v, d);
    return d;
}
long long integer(std::string_view v) {
    long long i = 0;
    parseInteger(v, i);
    return i;
}
AcDbHandle handleOf(std::string_view v) {
    AcDbHandle h;
    h.fromString(v);
    return h;
}
std::wstring wide(std::string_view v) { return utf8ToWide(v); }

class DeferredBlocks;

// How the text of a file is decoded and whether its handles count; read from the header
// before anything else, and handed on to the readers of deferred block contents.
struct Decoding {
    std::string codePage;  // empty: UTF-8 (from AC1021 on)
    bool hasHandles = true;
};

class Reader {
public:
    // A reader of a whole file; deferred block contents are made from bytes later on.
    Reader(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes)
        : m_db(db), m_tags(bytes->view()), m_bytes(std::move(bytes)) {}
    // A reader of the entity records of one deferred block: the part of the file
    // between its BLOCK and ENDBLK records, which begins at line firstLine.
    Reader(AcDbDatabase& db, const Decoding& decoding, std::string_view part, std::size_t firstLine)
        : m_db(db), m_tags(part, firstLine), m_partOfFile(true) {
        m_hasHandles = decoding.hasHandles;
        if (!decoding.codePage.empty()) m_tags.setCodePage(decoding.codePage, true);
    }

    Acad::ErrorStatus start();
    Acad::ErrorStatus run();
    // Makes the entities of a deferred block (a reader of part of a file).
    void readDeferredContents(AcDbObjectId blockId) { readEntityRecords(blockId, nullptr, nullptr); }
    // Sets what refers to other objects by handle or by name, once those can be found.
    void finishReferences();

private:
    // ---- low level ----
    bool nextTag(Tag& t) {
        if (m_tags.next(t)) return true;
        if (!m_tags.error().empty()) fail(Acad::eDwgCorrupt, m_tags.error());
        return false;
    }
    bool fail(Acad::ErrorStatus es, const std::string& why) {
        if (m_status == Acad::eOk) {
            m_status = es;
            m_message = why;
        }
        return false;
    }
    std::string where() const { return "line " + std::to_string(m_tags.line()); }
    // Reads the groups of one record after its "0 TYPE" group, up to the next 0 group.
    bool readRecord(Record& rec);
    void repair(const std::string& what) { m_db.readReport().repairs.push_back(utf8ToWide(what)); }

    // ---- sections ----
    bool prescanHeader(std::string_view data);
    bool readHeader();
    bool readRaw(FilerItems& items);
    // Reads the next "0 kind" record of a section; false at its ENDSEC (ended) or on an error.
    bool nextSectionRecord(const std::string& kind, const char* section, Record& rec, bool& ended);
    bool readTables();
    bool readTable(const Record& head);
    bool readBlocks();
    std::wstring layoutBlockName(const std::wstring& name) const;
    static bool replacesStandardLayout(AcDbBlockTableRecord& block);
    bool readEntities();
    bool readObjects();
    bool readThumbnail();
    bool readEntityRecords(AcDbObjectId blockId, const char* endType, Record* endRecord);
    bool scanBlockContents(AcDbObjectId blockId, Record& endRecord);

    // ---- objects ----
    AcDbObjectId add(std::unique_ptr<AcDbObject> obj, AcDbHandle handle);
    void readCommon(AcDbObject& obj, const Record& rec, AcDbHandle& handle, AcDbHandle& owner,
                    const std::function<bool(const std::string& sub, const Tag&)>& take);
    std::unique_ptr<AcDbEntity> makeEntity(Record& rec, AcDbHandle& handle, AcDbHandle& owner, bool& paper,
                                           std::string& blockName);
    AcDbObjectId layerId(std::string_view name);
    AcDbObjectId symbolId(AcDbObjectId tableId, std::string_view name);
    void finishObjects();
    void checkBlockCycles();
    std::vector<AcDbObjectId> referencedBlocks(const AcDbBlockTableRecord& rec);

    AcDbDatabase& m_db;
    TagReader m_tags;
    std::shared_ptr<const FileBytes> m_bytes;  // null for a reader of part of a file
    bool m_partOfFile = false;                 // its data ends after a whole record
    std::shared_ptr<DeferredBlocks> m_deferred;
    // Blocks that the deferred blocks reference, by name, for the check of cycles.
    std::unordered_map<const hostdb::ObjectSlot*, std::vector<std::string>> m_deferredReferences;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::string m_message;
    std::string m_version = "AC1009";
    Decoding m_decoding;
    bool m_hasHandles = true;

    std::unordered_map<std::string, AcDbObjectId> m_layers;
    std::vector<std::function<void()>> m_fixups;
    std::vector<std::pair<AcDbObjectId, AcDbHandle>> m_owners;  // objects whose owner is a handle
    std::string m_pendingClayer, m_pendingTextStyle, m_pendingDimStyle, m_pendingCeltype;
    // References and dimensions whose block is named before all blocks are known.
    std::vector<std::pair<AcDbObjectId, std::string>> m_blockNames;
    AcDbObjectId m_rootDict;
};

// The entity records of the blocks of one file, made into objects when a block is first
// looked into. Holds the file's bytes until every block has been made.
//
// Making a block's entities may look up a handle or a block that lands in another
// deferred block (a leader's annotation, an extension dictionary). That block is read
// at once, but its references are set only after the outer one's, by the outermost
// load: so loads never nest more than one deep, however the blocks refer to each other.
class DeferredBlocks : public hostdb::DeferredContents {
public:
    DeferredBlocks(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes, Decoding decoding)
        : m_db(db), m_bytes(std::move(bytes)), m_decoding(std::move(decoding)) {}

    // The block's entity records are the bytes [start, end), from line firstLine; their
    // handles lie in [lowest, highest] (both 0 when they have none).
    void defer(AcDbObjectId blockId, std::size_t start, std::size_t end, std::size_t firstLine,
               std::uint64_t lowest, std::uint64_t highest) {
        auto* block = AcDbBlockTableRecord::cast(blockId.slot()->object);
        if (!block) return;
        block->setContentsDeferred(true);
        m_parts[blockId.slot()] = Part{start, end, firstLine, lowest, highest};
    }

    void load(AcDbObjectId blockId) override {
        const auto part = m_parts.find(blockId.slot());
        if (part == m_parts.end()) return;
        const Part p = part->second;
        m_parts.erase(part);
        auto* block = AcDbBlockTableRecord::cast(blockId.slot()->object);
        if (!block || !block->contentsDeferred()) return;
        block->setContentsDeferred(false);
        auto reader = std::make_unique<Reader>(m_db, m_decoding, m_bytes->view().substr(p.start, p.end - p.start),
                                               p.firstLine);
        reader->readDeferredContents(blockId);
        m_unfinished.push_back(std::move(reader));
        if (m_finishing) return;  // the outer load sets the references
        m_finishing = true;
        while (!m_unfinished.empty()) {
            const std::unique_ptr<Reader> next = std::move(m_unfinished.back());
            m_unfinished.pop_back();
            next->finishReferences();
        }
        m_finishing = false;
    }

    // A block whose handles span this one; the caller loads it and looks again, so that
    // a block that spans the handle without holding it costs a load, never a wrong
    // answer. Handles of one block are usually a run of their own, so that is rare;
    // keeping a range per block instead of an index of every handle saves memory that
    // a large library would otherwise fill.
    AcDbObjectId blockHolding(AcDbHandle handle) const override {
        const std::uint64_t h = handle.value();
        for (const auto& [slot, part] : m_parts)
            if (part.lowest <= h && h <= part.highest && part.highest != 0)
                return AcDbObjectId(const_cast<hostdb::ObjectSlot*>(slot));
        return AcDbObjectId();
    }

    bool pending() const override { return !m_parts.empty(); }

private:
    struct Part {
        std::size_t start, end, firstLine;
        std::uint64_t lowest, highest;
    };

    AcDbDatabase& m_db;
    std::shared_ptr<const FileBytes> m_bytes;
    Decoding m_decoding;
    std::unordered_map<const hostdb::ObjectSlot*, Part> m_parts;
    std::vector<std::unique_ptr<Reader>> m_unfinished;
    bool m_finishing = false;
};

Acad::ErrorStatus Reader::start() {
    prescanHeader(m_bytes->view());
    m_deferred = std::make_shared<DeferredBlocks>(m_db, m_bytes, m_decoding);
    m_db.setDeferredContents(m_deferred);
    const auto es = run();
    // With nothing deferred, the database need not keep the file's bytes.
    if (!m_deferred->pending()) m_db.setDeferredContents(nullptr);
    if (es != Acad::eOk) m_db.readReport().message = utf8ToWide(m_message);
    return es;
}

bool Reader::readRecord(Record& rec) {
    rec.tags.clear();
    Tag t;
    while (m_tags.next(t)) {
        if (t.code == 0) {
            m_tags.pushBack(t);
            return true;
        }
        rec.tags.push_back(t);
    }
    if (!m_tags.error().empty()) return fail(Acad::eDwgCorrupt, m_tags.error());
    if (m_partOfFile) return true;
    return fail(Acad::eDwgCorrupt, "the file ends inside a " + rec.type + " record (" + where() +
                                       "): it is truncated");
}

AcDbObjectId Reader::add(std::unique_ptr<AcDbObject> obj, AcDbHandle handle) {
    AcDbObjectId id;
    // Resident objects only: asking for deferred contents here would make them while
    // other contents are being made.
    const bool duplicate = !handle.isNull() && !m_db.residentIdFromHandle(handle).isNull();
    m_db.addReadObject(id, std::move(obj), handle);
    if (duplicate) repair("handle " + handle.toString() + " was used twice; the second object got a new handle");
    return id;
}

// ---- header ----

bool Reader::prescanHeader(std::string_view data) {
    // Version and code page decide how all text is decoded, so they are read first.
    TagReader scan(data);
    Tag t;
    std::string codePage;
    std::string var;
    while (scan.next(t)) {
        if (t.code == 0 && t.value == "ENDSEC") break;
        if (t.code == 9) var = std::string(t.value);
        else if (var == "$ACADVER" && t.code == 1) m_version = std::string(t.value);
        else if (var == "$DWGCODEPAGE" && t.code == 3) codePage = std::string(t.value);
        else if (var == "$HANDLING" && t.code == 70) m_hasHandles = integer(t.value) != 0;
        else if (var == "$HANDSEED" && t.code == 5) {
            // Objects the reader has to make go above every handle of the file.
            const AcDbHandle seed = handleOf(t.value);
            if (seed.value() > 1) m_db.reserveHandle(AcDbHandle(seed.value() - 1));
        }
    }
    if (m_version < "AC1021") {
        m_decoding.codePage = codePage.empty() ? "ANSI_1252" : codePage;
        m_tags.setCodePage(m_decoding.codePage, true);
    }
    m_decoding.hasHandles = m_hasHandles;
    return true;
}

bool Reader::readHeader() {
    Tag t;
    hostdb::HeaderVariable* current = nullptr;
    std::wstring pendingKey;
    bool haveKey = false;
    auto& vars = m_db.headerVariables();
    while (nextTag(t)) {
        if (t.code == 0) {
            if (t.value == "ENDSEC") return true;
            return fail(Acad::eDwgCorrupt, where() + ": the header ends without ENDSEC");
        }
        if (t.code == 9) {
            vars.push_back({std::string(t.value), {}});
            current = &vars.back();
            continue;
        }
        if (!current) return fail(Acad::eDwgCorrupt, where() + ": a header value comes before any variable name");
        const std::string& name = current->name;
        if (name == "$CUSTOMPROPERTYTAG") {
            pendingKey = wide(t.value);
            haveKey = true;
        } else if (name == "$CUSTOMPROPERTY" && haveKey) {
            auto props = m_db.customProperties();
            props.emplace_back(pendingKey, wide(t.value));
            m_db.setCustomProperties(std::move(props));
            haveKey = false;
        } else if (name == "$INSUNITS") {
            const long long u = integer(t.value);
            m_db.setInsunits(u >= 0 && u <= 20 ? static_cast<AcDb::UnitsValue>(u) : AcDb::kUnitsUndefined);
        } else if (name == "$TEXTSIZE") {
            m_db.setTextsize(real(t.value));
        } else if (name == "$DIMSCALE") {
            m_db.setDimscale(real(t.value));
        } else if (name == "$LUNITS") {
            m_db.setLunits(static_cast<int>(integer(t.value)));
        } else if (name == "$LUPREC") {
            m_db.setLuprec(static_cast<int>(integer(t.value)));
        } else if (name == "$AUNITS") {
            m_db.setAunits(static_cast<int>(integer(t.value)));
        } else if (name == "$AUPREC") {
            m_db.setAuprec(static_cast<int>(integer(t.value)));
        } else if (name == "$INSBASE") {
            AcGePoint3d p = m_db.insbase();
            (t.code == 10 ? p.x : t.code == 20 ? p.y : p.z) = real(t.value);
            m_db.setInsbase(p);
        } else if (name == "$CLAYER") {
            m_pendingClayer = std::string(t.value);
        } else if (name == "$TEXTSTYLE") {
            m_pendingTextStyle = std::string(t.value);
        } else if (name == "$DIMSTYLE") {
            m_pendingDimStyle = std::string(t.value);
        } else if (name == "$CELTYPE") {
            m_pendingCeltype = std::string(t.value);
        }
        current->values.push_back({t.code, std::string(t.value)});
    }
    return fail(Acad::eDwgCorrupt, "the file ends inside the header: it is truncated");
}

bool Reader::readRaw(FilerItems& items) {
    Tag t;
    while (nextTag(t)) {
        if (t.code == 0 && t.value == "ENDSEC") return true;
        if (t.code == 0 && t.value == "EOF") break;
        items.push_back({t.code, std::string(t.value)});
    }
    if (m_status != Acad::eOk) return false;
    return fail(Acad::eDwgCorrupt, "the file ends inside a section: it is truncated");
}

bool Reader::readThumbnail() {
    FilerItems items;
    if (!readRaw(items)) return false;
    std::vector<std::uint8_t> bytes;
    for (const auto& item : items) {
        if (item.code != 310) continue;
        if (!appendHexBytes(item.value, bytes)) repair("the drawing preview holds characters that are not hexadecimal");
    }
    m_db.setThumbnailBitmap(std::move(bytes));
    return true;
}

// ---- common object groups ----

void Reader::readCommon(AcDbObject& obj, const Record& rec, AcDbHandle& handle, AcDbHandle& owner,
                        const std::function<bool(const std::string& sub, const Tag&)>& take) {
    std::string sub;
    bool inXdata = false;
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
}

AcDbObjectId Reader::symbolId(AcDbObjectId tableId, std::string_view name) {
    auto* table = tableId.isNull() ? nullptr : AcDbSymbolTable::cast(tableId.slot()->object);
    AcDbObjectId id;
    if (table) table->getAt(wide(name).c_str(), id);
    return id;
}

AcDbObjectId Reader::layerId(std::string_view name) {
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
                repair("layer \"" + key + "\" was missing from the layer table and was added");
            } else {
                delete layer;
            }
            table->close();
        }
    }
    m_layers.emplace(key, id);
    return id;
}

// ---- tables ----

bool Reader::nextSectionRecord(const std::string& kind, const char* section, Record& rec, bool& ended) {
    ended = false;
    Tag t;
    if (!nextTag(t))
        return m_status == Acad::eOk ? fail(Acad::eDwgCorrupt, std::string("the file ends inside the ") + section +
                                                                   " section")
                                     : false;
    if (t.code != 0) return fail(Acad::eBadDxfSequence, where() + ": a " + kind + " must begin with 0 " + kind);
    if (t.value == "ENDSEC") {
        ended = true;
        return false;
    }
    if (t.value != kind)
        return fail(Acad::eBadDxfSequence,
                    where() + ": unexpected " + std::string(t.value) + " in the " + section + " section");
    rec = Record{kind, {}, m_tags.line()};
    return readRecord(rec);
}

bool Reader::readTables() {
    Record head;
    bool ended = false;
    while (nextSectionRecord("TABLE", "TABLES", head, ended))
        if (!readTable(head)) return false;
    return ended;
}

template <class Table>
std::unique_ptr<AcDbSymbolTable> newTable() {
    return std::make_unique<Table>();
}

bool Reader::readTable(const Record& head) {
    std::string name;
    for (const auto& t : head.tags)
        if (t.code == 2) {
            name = std::string(t.value);
            break;
        }
    struct Kind {
        std::function<std::unique_ptr<AcDbSymbolTable>()> table;
        std::function<std::unique_ptr<AcDbSymbolTableRecord>()> record;
    };
    static const std::map<std::string, Kind> kinds = {
        {"BLOCK_RECORD", {newTable<AcDbBlockTable>, [] { return std::make_unique<AcDbBlockTableRecord>(); }}},
        {"LAYER", {newTable<AcDbLayerTable>, [] { return std::make_unique<AcDbLayerTableRecord>(); }}},
        {"STYLE", {newTable<AcDbTextStyleTable>, [] { return std::make_unique<AcDbTextStyleTableRecord>(); }}},
        {"DIMSTYLE", {newTable<AcDbDimStyleTable>, [] { return std::make_unique<AcDbDimStyleTableRecord>(); }}},
        {"LTYPE", {newTable<AcDbLinetypeTable>, [] { return std::make_unique<AcDbLinetypeTableRecord>(); }}},
        {"VPORT", {newTable<AcDbViewportTable>, [] { return std::make_unique<AcDbViewportTableRecord>(); }}},
        {"VIEW", {newTable<AcDbViewTable>, [] { return std::make_unique<AcDbViewTableRecord>(); }}},
        {"UCS", {newTable<AcDbUCSTable>, [] { return std::make_unique<AcDbUCSTableRecord>(); }}},
        {"APPID", {newTable<AcDbRegAppTable>, [] { return std::make_unique<AcDbRegAppTableRecord>(); }}},
    };
    const auto kind = kinds.find(name);
    if (kind == kinds.end()) {
        // A table this host does not know is kept whole.
        hostdb::PreservedSection keep{"TABLE:" + name, {}};
        for (const auto& t : head.tags) keep.items.push_back({t.code, std::string(t.value)});
        Tag t;
        while (nextTag(t)) {
            if (t.code == 0 && t.value == "ENDTAB") {
                m_db.preservedSections().push_back(std::move(keep));
                return true;
            }
            keep.items.push_back({t.code, std::string(t.value)});
        }
        return fail(Acad::eDwgCorrupt, "the file ends inside table " + name);
    }
    auto table = kind->second.table();
    AcDbHandle handle, owner;
    readCommon(*table, head, handle, owner, [](const std::string&, const Tag& t) { return t.code == 2 || t.code == 70; });
    AcDbSymbolTable* tablePtr = table.get();
    const AcDbObjectId tableId = add(std::move(table), handle);
    auto ids = std::array<AcDbObjectId, 9>{m_db.blockTableId(),    m_db.layerTableId(),    m_db.textStyleTableId(),
                                           m_db.dimStyleTableId(), m_db.linetypeTableId(), m_db.viewportTableId(),
                                           m_db.viewTableId(),     m_db.UCSTableId(),      m_db.regAppTableId()};
    static const char* order[] = {"BLOCK_RECORD", "LAYER", "STYLE", "DIMSTYLE", "LTYPE", "VPORT", "VIEW", "UCS", "APPID"};
    for (std::size_t i = 0; i < 9; ++i)
        if (name == order[i]) {
            if (!ids[i].isNull()) return fail(Acad::eDwgCorrupt, where() + ": table " + name + " appears twice");
            ids[i] = tableId;
        }
    m_db.setTableIds(ids[0], ids[1], ids[2], ids[3], ids[4], ids[5], ids[6], ids[7], ids[8]);

    Tag t;
    while (nextTag(t)) {
        if (t.code != 0) return fail(Acad::eBadDxfSequence, where() + ": a table record must begin with group 0");
        if (t.value == "ENDTAB") return true;
        Record rec{std::string(t.value), {}, m_tags.line()};
        if (!readRecord(rec)) return false;
        auto record = kind->second.record();
        AcDbSymbolTableRecord* r = record.get();
        AcDbHandle h, o;
        std::wstring recName;
        int flags = 0;
        auto* layer = AcDbLayerTableRecord::cast(r);
        auto* style = AcDbTextStyleTableRecord::cast(r);
        auto* dim = AcDbDimStyleTableRecord::cast(r);
        auto* block = AcDbBlockTableRecord::cast(r);
        std::vector<std::uint8_t> preview;
        if (block) {
            // One allocation for the icon, which comes in many groups (2 KB is usual).
            std::size_t hexDigits = 0;
            for (const auto& tag : rec.tags)
                if (tag.code == 310) hexDigits += tag.value.size();
            preview.reserve(hexDigits / 2);
        }
        std::string layerLinetype;
        readCommon(*r, rec, h, o, [&](const std::string& sub, const Tag& tag) {
            const bool base = sub.empty() || sub == "AcDbSymbolTableRecord";
            if (tag.code == 2 && recName.empty()) {
                recName = wide(tag.value);
                return true;
            }
            if (tag.code == 70 && (base || sub == "AcDbLayerTableRecord" || sub == "AcDbTextStyleTableRecord" ||
                                   sub == "AcDbDimStyleTableRecord" || sub == "AcDbLinetypeTableRecord" ||
                                   sub == "AcDbRegAppTableRecord" || sub == "AcDbViewportTableRecord" ||
                                   sub == "AcDbViewTableRecord" || sub == "AcDbUCSTableRecord") &&
                !block) {
                flags = static_cast<int>(integer(tag.value));
                return true;
            }
            if (layer) {
                if (tag.code == 62) {
                    const long long c = integer(tag.value);
                    layer->setColor(AcCmColor::fromIndex(static_cast<std::int16_t>(c < 0 ? -c : c)));
                    layer->setIsOff(c < 0);
                    return true;
                }
                if (tag.code == 420) {
                    AcCmColor c = layer->color();
                    c.setRGB(static_cast<std::uint32_t>(integer(tag.value)));
                    layer->setColor(c);
                    return true;
                }
                if (tag.code == 6) {
                    layerLinetype = std::string(tag.value);
                    return true;
                }
                if (tag.code == 370) {
                    layer->setLineWeight(static_cast<AcDb::LineWeight>(integer(tag.value)));
                    return true;
                }
                if (tag.code == 290) {
                    layer->setIsPlottable(integer(tag.value) != 0);
                    return true;
                }
            }
            if (style) {
                switch (tag.code) {
                case 40: style->setTextSize(real(tag.value)); return true;
                case 41: style->setXScale(real(tag.value)); return true;
                case 50: style->setObliquingAngle(real(tag.value)); return true;
                case 71: style->setFlagBits(static_cast<int>(integer(tag.value))); return true;
                case 42: style->setPriorSize(real(tag.value)); return true;
                case 3: style->setFileName(wide(tag.value)); return true;
                case 4: style->setBigFontFileName(wide(tag.value)); return true;
                default: break;
                }
            }
            if (dim && sub != "") {
                // Kept in place as well, so that the record is written back unchanged.
                if (tag.code == 40) dim->setDimscale(real(tag.value));
                if (tag.code == 140) dim->setDimtxt(real(tag.value));
            }
            if (block) {
                if (tag.code == 70 && sub == "AcDbBlockTableRecord") {
                    const long long u = integer(tag.value);
                    block->setBlockInsertUnits(u >= 0 && u <= 20 ? static_cast<AcDb::UnitsValue>(u) : AcDb::kUnitsUndefined);
                    return true;
                }
                if (tag.code == 280) {
                    block->setExplodable(integer(tag.value) != 0);
                    return true;
                }
                if (tag.code == 281) {
                    block->setBlockScaling(integer(tag.value) != 0);
                    return true;
                }
                if (tag.code == 310) {
                    if (!appendHexBytes(tag.value, preview))
                        repair("the preview icon of a block holds characters that are not hexadecimal");
                    return true;
                }
                if (tag.code == 340) {
                    const AcDbHandle lh = handleOf(tag.value);
                    AcDbBlockTableRecord* self = block;
                    m_fixups.push_back([this, self, lh] { self->setLayoutId(m_db.idFromHandle(lh)); });
                    return true;
                }
            }
            return false;
        });
        if (recName.empty()) return fail(Acad::eDwgCorrupt, "line " + std::to_string(rec.line) + ": a " + name +
                                                                 " record has no name");
        r->setOpen(AcDb::kForWrite, 0);
        r->setName(recName.c_str());
        if (!block) r->setFlags(flags);
        if (block) block->setPreviewBytes(std::move(preview));
        r->setOwnerId(tableId);
        if (tablePtr->has(recName.c_str())) {
            repair("table " + name + " names \"" + wideToUtf8(recName) + "\" twice; the second record was renamed");
            recName += L"$" + std::to_wstring(tablePtr->recordIds().size());
            r->setName(recName.c_str());
        }
        const AcDbObjectId id = add(std::move(record), h);
        tablePtr->appendRecordId(id, recName);
        if (layer) {
            AcDbLayerTableRecord* self = layer;
            m_fixups.push_back([this, self, layerLinetype] {
                self->setLinetypeObjectId(symbolId(m_db.linetypeTableId(), layerLinetype.empty() ? "Continuous" : layerLinetype));
            });
            m_layers.emplace(wideToUtf8(recName), id);
        }
    }
    return m_status == Acad::eOk ? fail(Acad::eDwgCorrupt, "the file ends inside table " + name) : false;
}

// ---- entities ----

// Class markers that an R12 file leaves out; kinds the host keeps as they are get them
// back so that a newer release reads them.
const char* missingSubclass(const std::string& type) {
    static const std::map<std::string, const char*> markers = {
        {"POLYLINE", "AcDb2dPolyline"}, {"VERTEX", "AcDb2dVertex"}, {"3DFACE", "AcDbFace"},
        {"SOLID", "AcDbTrace"},         {"TRACE", "AcDbTrace"},     {"SHAPE", "AcDbShape"},
        {"VIEWPORT", "AcDbViewport"}};
    const auto it = markers.find(type);
    return it == markers.end() ? nullptr : it->second;
}

struct PointAccumulator {
    AcGePoint3d p;
    bool seen = false;
    bool take(int code, int base, std::string_view v) {
        if (code == base) p.x = real(v), seen = true;
        else if (code == base + 10) p.y = real(v), seen = true;
        else if (code == base + 20) p.z = real(v), seen = true;
        else return false;
        return true;
    }
};

std::unique_ptr<AcDbEntity> Reader::makeEntity(Record& rec, AcDbHandle& handle, AcDbHandle& owner, bool& paper,
                                               std::string& blockName) {
    std::unique_ptr<AcDbEntity> ent;
    const std::string& type = rec.type;
    // Common properties, whatever the kind.
    std::string layer = "0", linetype;
    AcCmColor color;
    std::function<bool(const std::string&, const Tag&)> kindTake;
    std::function<void()> finish;

    PointAccumulator p10, p11, p12, p13, normal;
    normal.p = {0, 0, 1};
    double d40 = 0, d41 = 1, d50 = 0, d51 = 0, d39 = 0;
    bool has41 = false, has50 = false;
    long long i70 = 0, i71 = 0, i72 = 0, i73 = 0;
    std::wstring s1, s2, s3, s7;
    std::string styleName;

    if (type == "LINE") {
        auto* e = new AcDbLine();
        ent.reset(e);
        kindTake = [&](const std::string&, const Tag& t) {
            return p10.take(t.code, 10, t.value) || p11.take(t.code, 11, t.value) || normal.take(t.code, 210, t.value) ||
                   (t.code == 39 && (d39 = real(t.value), true));
        };
        finish = [&, e] {
            e->setStartPoint(p10.p);
            e->setEndPoint(p11.p);
            e->setNormal(normal.p.asVector());
            e->setThickness(d39);
        };
    } else if (type == "CIRCLE" || type == "ARC") {
        const bool arc = type == "ARC";
        kindTake = [&, arc](const std::string&, const Tag& t) {
            switch (t.code) {
            case 40: d40 = real(t.value); return true;
            case 39: d39 = real(t.value); return true;
            case 50: if (arc) { d50 = real(t.value); return true; } return false;
            case 51: if (arc) { d51 = real(t.value); return true; } return false;
            default: return p10.take(t.code, 10, t.value) || normal.take(t.code, 210, t.value);
            }
        };
        if (arc) {
            auto* e = new AcDbArc();
            ent.reset(e);
            finish = [&, e] {
                const auto f = AcGePlaneFrame::fromNormal(normal.p.asVector());
                e->setNormal(normal.p.asVector());
                e->setCenter(f.toWorld(p10.p));
                e->setRadius(d40);
                e->setStartAngle(d50 * std::acos(-1.0) / 180.0);
                e->setEndAngle(d51 * std::acos(-1.0) / 180.0);
                e->setThickness(d39);
            };
        } else {
            auto* e = new AcDbCircle();
            ent.reset(e);
            finish = [&, e] {
                const auto f = AcGePlaneFrame::fromNormal(normal.p.asVector());
                e->setNormal(normal.p.asVector());
                e->setCenter(f.toWorld(p10.p));
                e->setRadius(d40);
                e->setThickness(d39);
            };
        }
    } else if (type == "POINT") {
        auto* e = new AcDbPoint();
        ent.reset(e);
        kindTake = [&](const std::string&, const Tag& t) {
            return p10.take(t.code, 10, t.value) || normal.take(t.code, 210, t.value) ||
                   (t.code == 39 && (d39 = real(t.value), true)) || (t.code == 50 && (d50 = real(t.value), true));
        };
        finish = [&, e] {
            e->setPosition(p10.p);
            e->setNormal(normal.p.asVector());
            e->setThickness(d39);
            e->setEcsRotation(d50 * std::acos(-1.0) / 180.0);
        };
    } else if (type == "LWPOLYLINE") {
        auto* e = new AcDbPolyline();
        ent.reset(e);
        kindTake = [&, e](const std::string&, const Tag& t) {
            auto& v = e->vertices();
            switch (t.code) {
            case 90: v.reserve(static_cast<std::size_t>(std::max(0LL, std::min(integer(t.value), 1000000LL)))); return true;
            case 70: i70 = integer(t.value); return true;
            case 43: e->setConstantWidth(real(t.value)); e->setHasConstantWidth(true); return true;
            case 38: e->setElevation(real(t.value)); return true;
            case 39: d39 = real(t.value); return true;
            case 10: v.push_back({{real(t.value), 0.0}}); return true;
            case 20: if (!v.empty()) { v.back().point.y = real(t.value); return true; } return false;
            case 40: if (!v.empty()) { v.back().startWidth = real(t.value); return true; } return false;
            case 41: if (!v.empty()) { v.back().endWidth = real(t.value); return true; } return false;
            case 42: if (!v.empty()) { v.back().bulge = real(t.value); return true; } return false;
            default: return normal.take(t.code, 210, t.value);
            }
        };
        finish = [&, e] {
            e->setClosed((i70 & 1) != 0);
            e->setPlinegen((i70 & 128) != 0);
            e->setThickness(d39);
            e->setNormal(normal.p.asVector());
        };
    } else if (type == "TEXT" || type == "ATTDEF" || type == "ATTRIB") {
        AcDbText* e = type == "TEXT" ? new AcDbText() : type == "ATTDEF" ? static_cast<AcDbText*>(new AcDbAttributeDefinition())
                                                                        : new AcDbAttribute();
        ent.reset(e);
        auto attrFlags = std::make_shared<std::tuple<long long, long long, std::wstring, std::wstring>>();
        kindTake = [&, attrFlags](const std::string& sub, const Tag& t) {
            const bool attrPart = sub == "AcDbAttribute" || sub == "AcDbAttributeDefinition" ||
                                  (sub.empty() && type != "TEXT");
            if (attrPart) {
                // Attribute groups: 2 tag, 3 prompt, 70 flags, 73 field length, 74 vertical mode.
                switch (t.code) {
                case 2: std::get<2>(*attrFlags) = wide(t.value); return true;
                case 3: if (type == "ATTDEF") { std::get<3>(*attrFlags) = wide(t.value); return true; } break;
                case 70: std::get<0>(*attrFlags) = integer(t.value); return true;
                case 73: std::get<1>(*attrFlags) = integer(t.value); return true;
                case 74: i73 = integer(t.value); return true;
                default: break;
                }
                if (sub == "AcDbAttribute" || sub == "AcDbAttributeDefinition") return false;
            }
            switch (t.code) {
            case 1: s1 = wide(t.value); return true;
            case 7: styleName = std::string(t.value); return true;
            case 39: d39 = real(t.value); return true;
            case 40: d40 = real(t.value); return true;
            case 41: d41 = real(t.value); has41 = true; return true;
            case 50: d50 = real(t.value); return true;
            case 51: d51 = real(t.value); return true;
            case 71: i71 = integer(t.value); return true;
            case 72: i72 = integer(t.value); return true;
            case 73: if (type == "TEXT") { i73 = integer(t.value); return true; } return false;
            default:
                return p10.take(t.code, 10, t.value) || p11.take(t.code, 11, t.value) || normal.take(t.code, 210, t.value);
            }
        };
        finish = [&, e, attrFlags] {
            const auto f = AcGePlaneFrame::fromNormal(normal.p.asVector());
            const double deg = std::acos(-1.0) / 180.0;
            e->setNormal(normal.p.asVector());
            e->setPosition(f.toWorld(p10.p));
            e->setAlignmentPoint(p11.seen ? f.toWorld(p11.p) : f.toWorld(p10.p));
            e->setAlignmentPointStated(p11.seen);
            e->setTextString(s1.c_str());
            e->setHeight(d40);
            e->setWidthFactor(has41 ? d41 : 1.0);
            e->setRotation(d50 * deg);
            e->setOblique(d51 * deg);
            e->setThickness(d39);
            e->setGenerationFlags(static_cast<int>(i71));
            e->setHorizontalMode(static_cast<AcDb::TextHorzMode>(std::clamp(i72, 0LL, 5LL)));
            e->setVerticalMode(static_cast<AcDb::TextVertMode>(std::clamp(i73, 0LL, 3LL)));
            e->setTextStyle(symbolId(m_db.textStyleTableId(), styleName.empty() ? "Standard" : styleName));
            const auto& [flags, length, tagText, promptText] = *attrFlags;
            if (auto* def = AcDbAttributeDefinition::cast(e)) {
                def->setTag(tagText.c_str());
                def->setPrompt(promptText.c_str());
                def->setAttributeFlags(static_cast<int>(flags));
                def->setFieldLength(static_cast<Adesk::UInt16>(length));
            } else if (auto* att = AcDbAttribute::cast(e)) {
                att->setTag(tagText.c_str());
                att->setAttributeFlags(static_cast<int>(flags));
                att->setFieldLength(static_cast<Adesk::UInt16>(length));
            }
        };
    } else if (type == "MTEXT") {
        auto* e = new AcDbMText();
        ent.reset(e);
        auto text = std::make_shared<std::string>();
        kindTake = [&, e, text](const std::string&, const Tag& t) {
            switch (t.code) {
            case 1: case 3: text->append(t.value); return true;
            case 7: styleName = std::string(t.value); return true;
            case 40: e->setTextHeight(real(t.value)); return true;
            case 41: e->setWidth(real(t.value)); return true;
            case 44: e->setLineSpacingFactor(real(t.value)); return true;
            case 50: d50 = real(t.value); has50 = true; return true;
            case 71: e->setAttachment(static_cast<AcDbMText::AttachmentPoint>(std::clamp(integer(t.value), 1LL, 9LL))); return true;
            case 72: e->setFlowDirection(static_cast<int>(integer(t.value))); return true;
            case 73: e->setLineSpacingStyle(static_cast<int>(integer(t.value))); return true;
            default:
                return p10.take(t.code, 10, t.value) || p11.take(t.code, 11, t.value) || normal.take(t.code, 210, t.value);
            }
        };
        finish = [&, e, text] {
            e->setNormal(normal.p.asVector());
            e->setLocation(p10.p);
            if (p11.seen) e->setDirection(p11.p.asVector());
            else if (has50) e->setRotation(d50);  // radians in this group
            e->setContents(wide(*text).c_str());
            e->setTextStyle(symbolId(m_db.textStyleTableId(), styleName.empty() ? "Standard" : styleName));
        };
    } else if (type == "INSERT") {
        auto* e = new AcDbBlockReference();
        ent.reset(e);
        auto sc = std::make_shared<AcGeVector3d>(1, 1, 1);
        kindTake = [&, sc](const std::string&, const Tag& t) {
            switch (t.code) {
            case 2: s2 = wide(t.value); return true;
            case 41: sc->x = real(t.value); return true;
            case 42: sc->y = real(t.value); return true;
            case 43: sc->z = real(t.value); return true;
            case 50: d50 = real(t.value); return true;
            case 66: return true;  // attributes follow: seen from the records themselves
            default: return p10.take(t.code, 10, t.value) || normal.take(t.code, 210, t.value);
            }
        };
        finish = [&, e, sc] {
            const auto f = AcGePlaneFrame::fromNormal(normal.p.asVector());
            e->setNormal(normal.p.asVector());
            e->setPosition(f.toWorld(p10.p));
            e->setScaleFactors({sc->x == 0 ? 1 : sc->x, sc->y == 0 ? 1 : sc->y, sc->z == 0 ? 1 : sc->z});
            e->setRotation(d50 * std::acos(-1.0) / 180.0);
        };
    } else if (type == "DIMENSION") {
        auto* e = new AcDbDimension();
        ent.reset(e);
        kindTake = [&, e](const std::string& sub, const Tag& t) {
            if (!(sub.empty() || sub == "AcDbDimension")) {
                if (e->kindSubclass().empty() || sub != e->kindSubclass()) e->setKindSubclass(sub);
                return false;  // kind-specific groups stay as persisted data
            }
            switch (t.code) {
            case 1: s1 = wide(t.value); return true;
            case 2: s2 = wide(t.value); return true;
            case 3: s3 = wide(t.value); return true;
            case 42: e->setMeasurement(real(t.value)); return true;
            case 53: e->setTextRotation(real(t.value)); return true;
            case 51: e->setHorizontalRotation(real(t.value)); return true;
            case 70: e->setDimensionType(static_cast<int>(integer(t.value))); return true;
            case 71: e->setAttachment(static_cast<int>(integer(t.value))); return true;
            default:
                if (sub.empty() && t.code >= 13 && t.code <= 36) return false;  // R12: kind points unmarked
                return p10.take(t.code, 10, t.value) || p11.take(t.code, 11, t.value) ||
                       p12.take(t.code, 12, t.value) || normal.take(t.code, 210, t.value);
            }
        };
        finish = [&, e] {
            e->setDefinitionPoint(p10.p);
            e->setTextPosition(p11.p);
            e->setDimBlockPosition(p12.p);
            e->setNormal(normal.p.asVector());
            e->setDimensionText(s1);
            e->setDimensionStyle(symbolId(m_db.dimStyleTableId(), s3.empty() ? "Standard" : wideToUtf8(s3)));
            blockName = wideToUtf8(s2);
        };
    } else if (type == "LEADER") {
        auto* e = new AcDbLeader();
        ent.reset(e);
        // Groups 74, 75, 40 and 41 that a file leaves out read as 1, as the peer reads
        // them: a hook line in the direction of the horizontal, annotation 1 by 1.
        e->setHookLineOnXDir(false);
        e->setHasHookLine(true);
        e->setAnnoHeight(1.0);
        e->setAnnoWidth(1.0);
        auto annotation = std::make_shared<AcDbHandle>();
        kindTake = [&, e, annotation](const std::string&, const Tag& t) {
            auto& v = e->vertices();
            switch (t.code) {
            case 3: s3 = wide(t.value); return true;
            case 71: if (integer(t.value)) e->enableArrowHead(); else e->disableArrowHead(); return true;
            case 72: if (integer(t.value)) e->setToSplineLeader(); else e->setToStraightLeader(); return true;
            case 73: e->setAnnotationType(static_cast<int>(integer(t.value))); return true;
            case 74: e->setHookLineOnXDir(integer(t.value) == 0); return true;
            case 75: e->setHasHookLine(integer(t.value) != 0); return true;
            case 40: e->setAnnoHeight(real(t.value)); return true;
            case 41: e->setAnnoWidth(real(t.value)); return true;
            case 76: return true;  // the count follows from the vertices
            case 10: v.push_back({real(t.value), 0, 0}); return true;
            case 20: if (!v.empty()) { v.back().y = real(t.value); return true; } return false;
            case 30: if (!v.empty()) { v.back().z = real(t.value); return true; } return false;
            case 340: *annotation = handleOf(t.value); return true;
            default:
                return normal.take(t.code, 210, t.value) || p11.take(t.code, 211, t.value) ||
                       p12.take(t.code, 212, t.value) || p13.take(t.code, 213, t.value);
            }
        };
        finish = [&, e, annotation] {
            e->setNormal(normal.p.asVector());
            if (p11.seen) e->setHorizontalDirection(p11.p.asVector());
            e->setBlockOffset(p12.p.asVector());
            e->setAnnotationOffset(p13.p.asVector());
            e->setDimensionStyle(symbolId(m_db.dimStyleTableId(), s3.empty() ? "Standard" : wideToUtf8(s3)));
            if (!annotation->isNull()) {
                const AcDbHandle h = *annotation;
                m_fixups.push_back([this, e, h] {
                    // Set directly: attaching would recompute what the file states.
                    e->setAnnotationIdDirect(m_db.idFromHandle(h));
                });
            }
        };
    } else if (type == "SEQEND") {
        ent = std::make_unique<AcDbSequenceEnd>();
    } else {
        ent = std::make_unique<AcDbForeignEntity>(type);
    }

    ent->setOpen(AcDb::kForWrite, 0);
    readCommon(*ent, rec, handle, owner, [&](const std::string& sub, const Tag& t) {
        if (sub.empty() || sub == "AcDbEntity") {
            switch (t.code) {
            case 8: layer = std::string(t.value); return true;
            case 6: linetype = std::string(t.value); return true;
            case 62: color.setColorIndex(static_cast<std::int16_t>(std::clamp(integer(t.value), -257LL, 257LL))); return true;
            case 420: color.setRGB(static_cast<std::uint32_t>(integer(t.value))); return true;
            case 370: ent->setLineWeight(static_cast<AcDb::LineWeight>(integer(t.value)), false); return true;
            case 48: ent->setLinetypeScale(real(t.value) > 0 ? real(t.value) : 1.0, false); return true;
            case 60: ent->setVisibility(integer(t.value) ? AcDb::kInvisible : AcDb::kVisible, false); return true;
            case 67: paper = integer(t.value) != 0; return true;
            default: break;
            }
        }
        return kindTake ? kindTake(sub, t) : false;
    });
    if (finish) finish();
    if (auto* foreign = AcDbForeignEntity::cast(ent.get()); foreign && foreign->foreignData()) {
        // An R12 record has no class markers: file its groups under the kind's marker.
        auto& chunks = foreign->foreign().chunks();
        if (const char* marker = missingSubclass(type);
            marker && !chunks.empty() && chunks.front().subclass.empty() && chunks.size() == 1) {
            FilerItems keep, moved;
            for (auto& item : chunks.front().items) (item.code == 102 ? keep : moved).push_back(item);
            chunks.front().items = std::move(keep);
            foreign->foreign().chunk(marker) = std::move(moved);
        }
    }
    ent->setPropertyIds(layerId(layer), linetype.empty() ? AcDbObjectId() : symbolId(m_db.linetypeTableId(), linetype));
    ent->setColor(color, false);
    if (AcDbBlockReference::cast(ent.get())) blockName = wideToUtf8(s2);
    ent->setOpen(AcDb::kForRead, 0);
    return ent;
}

// Reads entity records into a block until endType (ENDBLK or ENDSEC); attributes and
// vertices are given to the record they follow.
bool Reader::readEntityRecords(AcDbObjectId blockId, const char* endType, Record* endRecord) {
    Tag t;
    AcDbBlockReference* lastInsert = nullptr;
    AcDbObjectId lastInsertId;
    AcDbForeignEntity* lastSequence = nullptr;
    Record rec;
    while (nextTag(t)) {
        if (t.code != 0) return fail(Acad::eBadDxfSequence, where() + ": an entity must begin with group 0");
        rec.type = std::string(t.value);
        rec.line = m_tags.line();
        m_tags.clearStorage();  // the previous record's decoded text is no longer needed
        if (endType && rec.type == endType) {
            if (endRecord) {
                endRecord->type = rec.type;
                if (!readRecord(*endRecord)) return false;
            }
            return true;
        }
        if (rec.type == "ENDSEC" || rec.type == "EOF")
            return fail(Acad::eBadDxfSequence,
                        where() + ": " + rec.type + " where " + (endType ? endType : "ENDBLK") + " was expected");
        if (!readRecord(rec)) return false;
        if (lastSequence && (rec.type == "VERTEX" || rec.type == "SEQEND")) {
            FilerItems items{{0, rec.type}};
            for (const auto& tag : rec.tags) {
                items.push_back({tag.code, std::string(tag.value)});
                if (tag.code == 5) m_db.reserveHandle(handleOf(tag.value));
            }
            lastSequence->followers().push_back(std::move(items));
            if (rec.type == "SEQEND") lastSequence = nullptr;
            continue;
        }
        AcDbHandle handle, owner;
        bool paper = false;
        std::string blockName;
        auto ent = makeEntity(rec, handle, owner, paper, blockName);
        if (!m_hasHandles) handle = AcDbHandle();
        AcDbEntity* raw = ent.get();
        if (lastInsert && rec.type == "ATTRIB") {
            raw->setOwnerId(lastInsertId);
            lastInsert->appendAttributeId(add(std::move(ent), handle));
            continue;
        }
        if (lastInsert && rec.type == "SEQEND") {
            raw->setOwnerId(lastInsertId);
            lastInsert->setSequenceEndId(add(std::move(ent), handle));
            lastInsert = nullptr;
            continue;
        }
        lastInsert = nullptr;
        AcDbObjectId target = blockId;
        if (target.isNull()) target = paper ? m_db.paperSpaceId() : m_db.modelSpaceId();
        auto* block = target.isNull() ? nullptr : AcDbBlockTableRecord::cast(target.slot()->object);
        if (!block) return fail(Acad::eDwgCorrupt, where() + ": an entity has no block to belong to");
        raw->setOwnerId(target);
        const AcDbObjectId id = add(std::move(ent), handle);
        block->appendEntityId(id);
        if (!blockName.empty()) m_blockNames.emplace_back(id, blockName);
        if (auto* ref = AcDbBlockReference::cast(raw)) {
            lastInsert = ref;
            lastInsertId = id;
        }
        if (auto* foreign = AcDbForeignEntity::cast(raw); foreign && rec.type == "POLYLINE") lastSequence = foreign;
    }
    if (m_partOfFile && m_status == Acad::eOk && m_tags.error().empty()) return true;
    return m_status == Acad::eOk ? fail(Acad::eDwgCorrupt, std::string("the file ends before ") +
                                                               (endType ? endType : "ENDBLK") + ": it is truncated")
                                 : false;
}

// Checks the entity records of a block up to its ENDBLK as strictly as making them
// would, and leaves making them to the first look into the block (DeferredBlocks).
// What opening needs now is noted on the way: the handles, so that no new object takes
// one and a lookup finds the block, and the blocks referenced, for the check of cycles.
bool Reader::scanBlockContents(AcDbObjectId blockId, Record& endRecord) {
    Tag t;
    std::size_t start = 0, firstLine = 0;
    bool any = false, inInsert = false, named = false, marked = false;
    std::uint64_t lowest = 0, highest = 0;
    std::vector<std::string> references;
    while (nextTag(t)) {
        if (t.code == 0) {
            if (t.value == "ENDBLK") {
                if (any) m_deferred->defer(blockId, start, m_tags.offset(), firstLine, lowest, highest);
                m_deferredReferences[blockId.slot()] = std::move(references);
                endRecord.type = "ENDBLK";
                endRecord.line = m_tags.line();
                return readRecord(endRecord);
            }
            if (t.value == "ENDSEC" || t.value == "EOF")
                return fail(Acad::eBadDxfSequence, where() + ": " + std::string(t.value) + " where ENDBLK was expected");
            if (!any) {
                any = true;
                start = m_tags.offset();
                firstLine = m_tags.line();
            }
            inInsert = t.value == "INSERT";
            named = marked = false;
            m_tags.clearStorage();
            continue;
        }
        if (t.code == 100) marked = true;
        // As readCommon takes them: the handle comes before the first class marker.
        if (t.code == 5 && !marked && m_hasHandles) {
            const AcDbHandle h = handleOf(t.value);
            m_db.reserveHandle(h);
            if (!h.isNull()) {
                lowest = lowest == 0 ? h.value() : std::min(lowest, h.value());
                highest = std::max(highest, h.value());
            }
        }
        if (inInsert && t.code == 2 && !named) {
            references.emplace_back(t.value);
            named = true;
        }
    }
    return m_status == Acad::eOk ? fail(Acad::eDwgCorrupt, "the file ends before ENDBLK: it is truncated") : false;
}

// R12 names the layout blocks "$MODEL_SPACE" and "$PAPER_SPACE"; later releases, and
// this host, "*Model_Space" and "*Paper_Space".
std::wstring Reader::layoutBlockName(const std::wstring& name) const {
    if (m_version > "AC1009" || name.size() != 12 || name[0] != L'$') return name;
    std::wstring upper = name;
    for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    if (upper == L"$MODEL_SPACE") return L"*Model_Space";
    if (upper == L"$PAPER_SPACE") return L"*Paper_Space";
    return name;
}

// A file without a block table gets the standard layout blocks before its BLOCKS
// section is read; a definition of one in the file takes the place of the made one.
bool Reader::replacesStandardLayout(AcDbBlockTableRecord& block) {
    AcDbObject* begin = block.blockBeginId().slot()->object;
    AcDbObject* end = block.blockEndId().isNull() ? nullptr : block.blockEndId().slot()->object;
    if (!block.isLayout() || !begin || !begin->isNewObject() || !block.entityIds().empty()) return false;
    begin->setErasedFlag(true);
    if (end) end->setErasedFlag(true);
    block.setBlockBeginEnd(AcDbObjectId(), AcDbObjectId());
    return true;
}

bool Reader::readBlocks() {
    Record rec;
    bool ended = false;
    while (nextSectionRecord("BLOCK", "BLOCKS", rec, ended)) {
        auto begin = std::make_unique<AcDbBlockBegin>();
        begin->setOpen(AcDb::kForWrite, 0);
        AcDbHandle handle, owner;
        std::wstring name, path, description;
        long long flags = 0;
        PointAccumulator base;
        std::string layer = "0";
        readCommon(*begin, rec, handle, owner, [&](const std::string&, const Tag& tag) {
            switch (tag.code) {
            case 2: name = wide(tag.value); return true;
            case 3: return true;  // the name again
            case 1: path = wide(tag.value); return true;
            case 4: description = wide(tag.value); return true;
            case 70: flags = integer(tag.value); return true;
            case 8: layer = std::string(tag.value); return true;
            case 67: return true;
            default: return base.take(tag.code, 10, tag.value);
            }
        });
        if (name.empty()) return fail(Acad::eDwgCorrupt, "line " + std::to_string(rec.line) + ": a block has no name");
        name = layoutBlockName(name);
        begin->setPropertyIds(layerId(layer), AcDbObjectId());
        // The definition's record comes from the BLOCK_RECORD table, or (R12) is made here.
        AcDbObjectId blockId = symbolId(m_db.blockTableId(), wideToUtf8(name));
        if (blockId.isNull()) {
            auto* table = AcDbBlockTable::cast(m_db.blockTableId().slot()->object);
            auto rec2 = std::make_unique<AcDbBlockTableRecord>();
            rec2->setOpen(AcDb::kForWrite, 0);
            rec2->setName(name.c_str());
            rec2->setOwnerId(m_db.blockTableId());
            blockId = add(std::move(rec2), AcDbHandle());
            table->appendRecordId(blockId, name);
        }
        auto* block = AcDbBlockTableRecord::cast(blockId.slot()->object);
        if (!block->blockBeginId().isNull() && !replacesStandardLayout(*block))
            return fail(Acad::eDwgCorrupt, "line " + std::to_string(rec.line) + ": block \"" + wideToUtf8(name) +
                                               "\" is defined twice");
        block->setFlags(static_cast<int>(flags) & ~AcDbBlockTableRecord::kHasAttributes);
        block->setOrigin(base.p);
        block->setPathName(path);
        block->setComments(description);
        begin->setOwnerId(blockId);
        const AcDbObjectId beginId = add(std::move(begin), m_hasHandles ? handle : AcDbHandle());
        Record endRec{"ENDBLK", {}, 0};
        // Layout blocks are drawn at once; the others wait until they are looked into.
        const bool defer = m_deferred && !block->isLayout();
        if (!(defer ? scanBlockContents(blockId, endRec) : readEntityRecords(blockId, "ENDBLK", &endRec)))
            return false;
        auto end = std::make_unique<AcDbBlockEnd>();
        end->setOpen(AcDb::kForWrite, 0);
        AcDbHandle endHandle, endOwner;
        std::string endLayer = "0";
        readCommon(*end, endRec, endHandle, endOwner, [&](const std::string&, const Tag& tag) {
            if (tag.code == 8) endLayer = std::string(tag.value);
            return tag.code == 8 || tag.code == 67;
        });
        end->setPropertyIds(layerId(endLayer), AcDbObjectId());
        end->setOwnerId(blockId);
        block->setBlockBeginEnd(beginId, add(std::move(end), m_hasHandles ? endHandle : AcDbHandle()));
    }
    return ended;
}

bool Reader::readEntities() {
    m_db.ensureStandardObjects(false);  // an R12 file names no layout blocks
    return readEntityRecords(AcDbObjectId(), "ENDSEC", nullptr);
}

bool Reader::readObjects() {
    Tag t;
    Record rec;
    while (nextTag(t)) {
        if (t.code != 0) return fail(Acad::eBadDxfSequence, where() + ": an object must begin with group 0");
        if (t.value == "ENDSEC") return true;
        rec.type = std::string(t.value);
        rec.line = m_tags.line();
        m_tags.clearStorage();
        if (!readRecord(rec)) return false;
        AcDbHandle handle, owner;
        std::unique_ptr<AcDbObject> obj;
        if (rec.type == "DICTIONARY") {
            auto dict = std::make_unique<AcDbDictionary>();
            AcDbDictionary* d = dict.get();
            std::wstring key;
            std::vector<std::pair<std::wstring, AcDbHandle>> entries;
            readCommon(*dict, rec, handle, owner, [&](const std::string& sub, const Tag& tag) {
                if (sub != "AcDbDictionary") return false;
                switch (tag.code) {
                case 3: key = wide(tag.value); return true;
                case 350: case 360: entries.emplace_back(key, handleOf(tag.value)); return true;
                case 280: d->setTreatElementsAsHard(integer(tag.value) != 0); return true;
                case 281: d->setMergeStyle(static_cast<int>(integer(tag.value))); return true;
                default: return false;
                }
            });
            m_fixups.push_back([this, d, entries] {
                for (const auto& [name, h] : entries) {
                    const AcDbObjectId id = m_db.idFromHandle(h);
                    if (id.isNull())
                        repair("dictionary entry \"" + wideToUtf8(name) + "\" pointed to no object (" + h.toString() +
                               ") and was dropped");
                    else
                        d->appendEntry(name, id);
                }
            });
            obj = std::move(dict);
        } else if (rec.type == "GROUP") {
            auto group = std::make_unique<AcDbGroup>();
            AcDbGroup* g = group.get();
            std::vector<AcDbHandle> members;
            std::wstring description;
            readCommon(*group, rec, handle, owner, [&](const std::string& sub, const Tag& tag) {
                if (sub != "AcDbGroup") return false;
                switch (tag.code) {
                case 300: description = wide(tag.value); return true;
                case 70: g->setAnonymous(integer(tag.value) != 0); return true;
                case 71: g->setOpen(AcDb::kForWrite, 0); g->setSelectable(integer(tag.value) != 0); return true;
                case 340: members.push_back(handleOf(tag.value)); return true;
                default: return false;
                }
            });
            g->setOpen(AcDb::kForWrite, 0);
            g->setDescription(description.c_str());
            m_fixups.push_back([this, g, members] {
                for (AcDbHandle h : members) {
                    const AcDbObjectId id = m_db.idFromHandle(h);
                    if (id.isNull()) repair("a group member pointed to no object (" + h.toString() + ") and was dropped");
                    else g->appendMemberId(id);
                }
            });
            obj = std::move(group);
        } else if (rec.type == "FIELD") {
            auto field = std::make_unique<AcDbField>();
            std::string code, value, evaluator;
            bool valueNext = false;
            readCommon(*field, rec, handle, owner, [&](const std::string& sub, const Tag& tag) {
                if (sub != "AcDbField") return false;
                if (tag.code == 1 && evaluator.empty() && !valueNext) evaluator = std::string(tag.value);
                else if (tag.code == 2 || tag.code == 3) code += tag.value;
                else if (tag.code == 6 && tag.value == "ACFD_FIELD_VALUE") valueNext = true;
                else if (valueNext && tag.code == 1) { value = std::string(tag.value); valueNext = false; }
                return false;  // all groups stay in place; the model reads them
            });
            field->setOpen(AcDb::kForWrite, 0);
            field->setFieldCode(wide(code).c_str());
            field->setCachedValue(wide(value));
            field->setEvaluatedFlag(!value.empty());
            obj = std::move(field);
        } else {
            auto foreign = std::make_unique<AcDbForeignObject>(rec.type);
            readCommon(*foreign, rec, handle, owner, {});
            obj = std::move(foreign);
        }
        obj->setOpen(AcDb::kForRead, 0);
        const AcDbObjectId id = add(std::move(obj), handle);
        if (m_rootDict.isNull()) m_rootDict = id;
        if (!owner.isNull()) m_owners.emplace_back(id, owner);
    }
    return m_status == Acad::eOk ? fail(Acad::eDwgCorrupt, "the file ends inside the OBJECTS section") : false;
}

void Reader::finishReferences() {
    for (auto& fix : m_fixups) fix();
    m_fixups.clear();
    for (const auto& [id, owner] : m_owners) {
        const AcDbObjectId ownerId = m_db.idFromHandle(owner);
        if (!ownerId.isNull()) id.slot()->object->setOwnerId(ownerId);
    }
    m_owners.clear();
    for (const auto& [id, name] : m_blockNames) {
        const AcDbObjectId blockId = symbolId(m_db.blockTableId(), name);
        AcDbObject* obj = id.slot()->object;
        if (auto* ref = AcDbBlockReference::cast(obj)) {
            if (blockId.isNull()) repair("a reference names block \"" + name + "\", which the drawing does not define");
            else ref->setOpen(AcDb::kForWrite, 0), ref->setBlockTableRecord(blockId), ref->setOpen(AcDb::kForRead, 0);
        } else if (auto* dim = AcDbDimension::cast(obj)) {
            dim->setDimBlockId(blockId);
        }
    }
    m_blockNames.clear();
}

void Reader::finishObjects() {
    finishReferences();
    if (!m_rootDict.isNull() && AcDbDictionary::cast(m_rootDict.slot()->object))
        m_db.setNamedObjectsDictionaryId(m_rootDict);
    // Header variables that name symbols.
    auto setIf = [](const AcDbObjectId& id, const std::function<void(AcDbObjectId)>& set) {
        if (!id.isNull()) set(id);
    };
    if (!m_pendingClayer.empty()) setIf(layerId(m_pendingClayer), [&](AcDbObjectId id) { m_db.setClayer(id); });
    if (!m_pendingTextStyle.empty())
        setIf(symbolId(m_db.textStyleTableId(), m_pendingTextStyle), [&](AcDbObjectId id) { m_db.setTextstyle(id); });
    if (!m_pendingDimStyle.empty())
        setIf(symbolId(m_db.dimStyleTableId(), m_pendingDimStyle), [&](AcDbObjectId id) { m_db.setDimstyle(id); });
    if (!m_pendingCeltype.empty())
        setIf(symbolId(m_db.linetypeTableId(), m_pendingCeltype), [&](AcDbObjectId id) { m_db.setCeltype(id); });
}

// The blocks that a block references; for a deferred block, as its records name them,
// so that the check does not make every block's contents.
std::vector<AcDbObjectId> Reader::referencedBlocks(const AcDbBlockTableRecord& rec) {
    std::vector<AcDbObjectId> out;
    if (const auto names = m_deferredReferences.find(rec.objectId().slot()); names != m_deferredReferences.end()) {
        for (const auto& name : names->second)
            if (const AcDbObjectId id = symbolId(m_db.blockTableId(), name); !id.isNull()) out.push_back(id);
        return out;
    }
    for (AcDbObjectId id : rec.entityIds())
        if (const auto* ref = AcDbBlockReference::cast(id.slot()->object); ref && !ref->blockTableRecord().isNull())
            out.push_back(ref->blockTableRecord());
    return out;
}

// A block that contains a reference to itself, directly or through other blocks, has
// no finite drawing: such a file is refused.
void Reader::checkBlockCycles() {
    auto* table = AcDbBlockTable::cast(m_db.blockTableId().slot()->object);
    if (!table) return;
    std::unordered_map<const void*, int> state;  // 1 visiting, 2 done
    std::function<bool(AcDbObjectId, std::wstring&)> visit = [&](AcDbObjectId blockId, std::wstring& culprit) {
        int& s = state[blockId.slot()];
        if (s == 2) return false;
        if (s == 1) return true;
        s = 1;
        const auto* rec = AcDbBlockTableRecord::cast(blockId.slot()->object);
        for (AcDbObjectId referenced : referencedBlocks(*rec)) {
            if (visit(referenced, culprit)) {
                if (culprit.empty()) culprit = rec->name();
                return true;
            }
        }
        state[blockId.slot()] = 2;
        return false;
    };
    for (AcDbObjectId id : table->recordIds()) {
        std::wstring culprit;
        if (visit(id, culprit)) {
            fail(Acad::eSelfReference, "block \"" + wideToUtf8(culprit) + "\" contains a reference to itself");
            return;
        }
    }
}

Acad::ErrorStatus Reader::run() {
    Tag t;
    bool sawEof = false;
    while (m_status == Acad::eOk && nextTag(t)) {
        if (t.code == 999) continue;  // comment
        if (t.code != 0) {
            fail(Acad::eBadDxfSequence, where() + ": expected 0 SECTION, found group " + std::to_string(t.code));
            break;
        }
        if (t.value == "EOF") {
            sawEof = true;
            break;
        }
        if (t.value != "SECTION") {
            fail(Acad::eBadDxfSequence, where() + ": expected 0 SECTION, found " + std::string(t.value.substr(0, 40)));
            break;
        }
        if (!nextTag(t) || t.code != 2) {
            fail(Acad::eBadDxfSequence, where() + ": a section has no name");
            break;
        }
        const std::string name(t.value);
        bool ok = true;
        if (name == "HEADER") ok = readHeader();
        else if (name == "CLASSES") ok = readRaw(m_db.classes());
        else if (name == "TABLES") ok = readTables();
        else if (name == "BLOCKS") ok = (m_db.blockTableId().isNull() ? (m_db.ensureStandardObjects(), true) : true) && readBlocks();
        else if (name == "ENTITIES") ok = readEntities();
        else if (name == "OBJECTS") ok = readObjects();
        else if (name == "THUMBNAILIMAGE") ok = readThumbnail();
        else {
            m_db.preservedSections().push_back({name, {}});
            ok = readRaw(m_db.preservedSections().back().items);
        }
        if (!ok) break;
    }
    if (m_status == Acad::eOk && !sawEof) {
        if (m_tags.error().empty()) fail(Acad::eDwgCorrupt, "the file ends without EOF: it is truncated");
        else fail(Acad::eDwgCorrupt, m_tags.error());
    }
    if (m_status != Acad::eOk) return m_status;
    finishObjects();
    m_db.ensureStandardObjects();
    checkBlockCycles();
    if (m_tags.hadInvalidText())
        repair("some text was not valid in the drawing's encoding; those characters were replaced");
    return m_status;
}

}  // namespace

Acad::ErrorStatus readDrawing(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes) {
    return Reader(db, std::move(bytes)).start();
}

Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::string_view bytes, const std::wstring& path) {
    return readDrawingBytes(db, FileBytes::copy(bytes), path);
}

Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::shared_ptr<const FileBytes> file, const std::wstring& path) {
    auto& report = db.readReport();
    const std::string_view bytes = file->view();
    if (bytes.empty()) {
        report.message = L"The drawing " + path + L" is empty.";
        return Acad::eDwgCorrupt;
    }
    if (const std::wstring kind = binaryFileKind(bytes); !kind.empty()) {
        report.message = path + L" is not a drawing this host can read: it is " + kind +
                         L", and this host reads ASCII DXF drawings only.";
        return Acad::eNotADrawingFile;
    }
    const Acad::ErrorStatus es = readDrawing(db, std::move(file));
    if (es != Acad::eOk) report.message = L"The drawing " + path + L" is damaged: " + report.message;
    return es;
}

}  // namespace hostdxf
