#include "database.h"

#include "blocktable.h"
#include "dictionary.h"
#include "dimstyletable.h"
#include "drawingfiler.h"
#include "field.h"
#include "foreignentity.h"
#include "layertable.h"
#include "textstyletable.h"
#include "undorecord.h"
#include "../rx/utf8.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <type_traits>
#include <utility>

ACRX_DEFINE_MEMBERS(AcDbDatabase, AcRxObject, "")

std::string AcDbHandle::toString() const {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(m_value));
    return buf;
}

bool AcDbHandle::fromString(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    if (text.empty() || text.size() > 16) return false;
    std::uint64_t v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
    if (ec != std::errc() || ptr != text.data() + text.size()) return false;
    m_value = v;
    return true;
}

AcDbHostApplicationServices* acdbHostApplicationServices() {
    static AcDbHostApplicationServices services;
    return &services;
}

AcDbDatabase::AcDbDatabase(bool buildDefault, bool /*noDocument*/)
    : m_undo(std::make_unique<hostdb::UndoRecord>(*this)) {
    if (buildDefault) ensureStandardObjects();
}

AcDbDatabase::~AcDbDatabase() {
    closeInput(true);
    m_undo.reset();
    if (acdbHostApplicationServices()->workingDatabase() == this)
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    for (auto& slot : m_objectSlots) {
        delete slot.object;
        slot.object = nullptr;
    }
}

void AcDbDatabase::discardContents() {
    m_deferred.reset();
    for (auto& slot : m_objectSlots) {
        delete slot.object;
        slot.object = nullptr;
    }
    m_objectSlots.clear();
    m_byHandle.clear();
    m_handseed = AcDbHandle(1);
    m_blockTableId = m_layerTableId = m_textStyleTableId = m_dimStyleTableId = m_linetypeTableId = AcDbObjectId();
    m_viewportTableId = m_viewTableId = m_ucsTableId = m_regAppTableId = m_namedObjectsDictId = AcDbObjectId();
    m_currentSpaceId = m_clayer = m_textstyle = m_dimstyle = m_celtype = AcDbObjectId();
    const AcDbDatabase fresh(false, true);
    m_insunits = fresh.m_insunits;
    m_textsize = fresh.m_textsize;
    m_dimscale = fresh.m_dimscale;
    m_lunits = fresh.m_lunits, m_luprec = fresh.m_luprec, m_aunits = fresh.m_aunits, m_auprec = fresh.m_auprec;
    m_insbase = fresh.m_insbase;
    m_headerVariables.clear();
    m_preservedSections.clear();
    m_classes.clear();
    m_thumbnail.clear();
    m_customProperties.clear();
    m_summaryFields.clear();
}

hostdb::ObjectSlot& AcDbDatabase::newSlot(AcDbHandle handle) {
    if (handle.isNull()) {
        while (m_byHandle.count(m_handseed.value())) ++m_handseed;
        handle = m_handseed;
        ++m_handseed;
    } else if (handle >= m_handseed) {
        m_handseed = AcDbHandle(handle.value() + 1);
    }
    m_objectSlots.push_back({this, handle, nullptr});
    m_byHandle[handle.value()] = &m_objectSlots.back();
    return m_objectSlots.back();
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* obj) {
    id = AcDbObjectId();
    if (!obj) return Acad::eNullPtr;
    if (!obj->objectId().isNull()) return Acad::eAlreadyInDb;
    auto& slot = newSlot(AcDbHandle());
    slot.object = obj;
    obj->attachToSlot(&slot, true);
    obj->setOpen(AcDb::kForWrite, 1);
    id = AcDbObjectId(&slot);
    if (AcDbField::cast(obj)) m_fieldSlots.push_back(&slot);
    m_undo->noteAppend(slot);
    noteChanged(slot);
    obj->attachPendingFields();
    return Acad::eOk;
}

void AcDbDatabase::objectChanging(hostdb::ObjectSlot& slot) {
    m_undo->noteWrite(slot);
    noteChanged(slot);
}

namespace {
// Past this many changes a view regenerates whole anyway; a drawing that no view looks at
// keeps no longer list.
constexpr std::size_t kJournalLimit = 1u << 20;
}  // namespace

void AcDbDatabase::noteChanged(hostdb::ObjectSlot& slot) {
    if (m_changes.overflowed) return;
    if (m_changes.ids.size() >= kJournalLimit) {
        m_changes.ids = {};
        m_changes.overflowed = true;
        return;
    }
    m_changes.ids.emplace_back(&slot);
}

hostdb::ChangeJournal AcDbDatabase::takeChanges() { return std::exchange(m_changes, {}); }

void AcDbDatabase::forgetHandle(const hostdb::ObjectSlot& slot) {
    const auto it = m_byHandle.find(slot.handle.value());
    if (it != m_byHandle.end() && it->second == &slot) m_byHandle.erase(it);
}

Acad::ErrorStatus AcDbDatabase::addReadObject(AcDbObjectId& id, std::unique_ptr<AcDbObject> obj, AcDbHandle handle) {
    if (!handle.isNull() && m_byHandle.count(handle.value())) handle = AcDbHandle();  // duplicate: renumber
    auto& slot = newSlot(handle);
    slot.object = obj.release();
    slot.object->attachToSlot(&slot, false);
    slot.object->setOpen(AcDb::kForRead, 0);
    id = AcDbObjectId(&slot);
    if (AcDbField::cast(slot.object)) m_fieldSlots.push_back(&slot);
    return Acad::eOk;
}

void AcDbDatabase::reserveHandle(AcDbHandle handle) {
    if (handle >= m_handseed) m_handseed = AcDbHandle(handle.value() + 1);
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool /*create*/, const AcDbHandle& handle) {
    id = idFromHandle(handle);
    return id.isNull() ? Acad::eKeyNotFound : Acad::eOk;
}

AcDbObjectId AcDbDatabase::residentIdFromHandle(AcDbHandle handle) const {
    const auto it = m_byHandle.find(handle.value());
    return it == m_byHandle.end() ? AcDbObjectId() : AcDbObjectId(it->second);
}

AcDbObjectId AcDbDatabase::idFromHandle(AcDbHandle handle) const {
    AcDbObjectId id = residentIdFromHandle(handle);
    // Each load takes a block off the deferred ones, so this ends.
    while (id.isNull() && m_deferred && !handle.isNull()) {
        const AcDbObjectId block = m_deferred->blockHolding(handle);
        if (block.isNull()) break;
        loadContents(block);
        id = residentIdFromHandle(handle);
    }
    return id;
}

void AcDbDatabase::loadContents(AcDbObjectId blockId) const {
    if (!m_deferred) return;
    // Kept alive here: the last load lets go of the source in the database.
    const std::shared_ptr<hostdb::DeferredContents> source = m_deferred;
    m_undo->pause();
    source->load(blockId);
    m_undo->resume();
    if (!source->pending() && m_deferred == source) const_cast<AcDbDatabase*>(this)->m_deferred.reset();
}

void AcDbDatabase::loadAllContents() const {
    if (!m_deferred || m_blockTableId.isNull()) return;
    const auto* table = AcDbBlockTable::cast(m_blockTableId.slot()->object);
    if (!table) return;
    for (AcDbObjectId id : table->recordIds())
        if (const auto* rec = AcDbBlockTableRecord::cast(id.slot()->object)) rec->entityIds();
}

void AcDbDatabase::setTableIds(AcDbObjectId block, AcDbObjectId layer, AcDbObjectId style, AcDbObjectId dimStyle,
                               AcDbObjectId linetype, AcDbObjectId viewport, AcDbObjectId view, AcDbObjectId ucs,
                               AcDbObjectId regApp) {
    m_blockTableId = block;
    m_layerTableId = layer;
    m_textStyleTableId = style;
    m_dimStyleTableId = dimStyle;
    m_linetypeTableId = linetype;
    m_viewportTableId = viewport;
    m_viewTableId = view;
    m_ucsTableId = ucs;
    m_regAppTableId = regApp;
}

AcDbObjectId AcDbDatabase::groupDictionaryId() const {
    AcDbDictionary* nod = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(nod, m_namedObjectsDictId, AcDb::kForRead) == Acad::eOk) {
        nod->getAt(L"ACAD_GROUP", id);
        nod->close();
    }
    return id;
}

static AcDbObjectId blockByName(AcDbObjectId tableId, const ACHAR* name) {
    AcDbBlockTable* table = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(table, tableId, AcDb::kForRead) == Acad::eOk) {
        table->getAt(name, id);
        table->close();
    }
    return id;
}

AcDbObjectId AcDbDatabase::modelSpaceId() const { return blockByName(m_blockTableId, L"*Model_Space"); }
AcDbObjectId AcDbDatabase::paperSpaceId() const { return blockByName(m_blockTableId, L"*Paper_Space"); }

AcDbObjectId AcDbDatabase::currentSpaceId() const {
    if (!m_currentSpaceId.isNull() && !m_currentSpaceId.isErased()) return m_currentSpaceId;
    return modelSpaceId();
}

AcDbObjectId acdbSymUtilBlockModelSpaceId(AcDbDatabase* db) { return db ? db->modelSpaceId() : AcDbObjectId(); }

Acad::ErrorStatus AcDbDatabase::setClayer(AcDbObjectId layerId) {
    AcDbLayerTableRecord* layer = nullptr;
    if (const auto es = acdbOpenObject(layer, layerId, AcDb::kForRead); es != Acad::eOk) return es;
    layer->close();
    if (layerId.database() != this) return Acad::eWrongDatabase;
    m_clayer = layerId;
    return Acad::eOk;
}

std::wstring AcDbDatabase::describe(AcDbObjectId id) {
    const AcRxClass* cls = id.objectClass();
    return cls ? cls->name() : L"(none)";
}

namespace {

template <class Table>
AcDbObjectId addTable(AcDbDatabase& db, AcDbObjectId owner) {
    AcDbObjectId id;
    auto* table = new Table();
    table->setOwnerId(owner);
    db.addAcDbObject(id, table);
    table->close();
    return id;
}

template <class Record>
AcDbObjectId addRecord(AcDbObjectId tableId, const ACHAR* name, const std::function<void(Record&)>& setUp = {}) {
    AcDbSymbolTable* table = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(table, tableId, AcDb::kForWrite) != Acad::eOk) return id;
    auto* rec = new Record();
    rec->setName(name);
    if (setUp) setUp(*rec);
    if (table->add(id, rec) == Acad::eOk)
        rec->close();
    else
        delete rec;
    table->close();
    return id;
}

AcDbObjectId addDictionary(AcDbObjectId parentId, const ACHAR* name) {
    AcDbDictionary* parent = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(parent, parentId, AcDb::kForWrite) != Acad::eOk) return id;
    auto* dict = new AcDbDictionary();
    if (parent->setAt(name, dict, id) == Acad::eOk)
        dict->close();
    else
        delete dict;
    parent->close();
    return id;
}

// A layout object ties a layout block to its tab; the host keeps it as data of its own.
AcDbObjectId addLayout(AcDbDatabase&, AcDbObjectId layoutDict, AcDbObjectId blockId, const ACHAR* name,
                       const char* utf8Name, int tabOrder) {
    AcDbDictionary* dict = nullptr;
    AcDbObjectId id;
    if (acdbOpenObject(dict, layoutDict, AcDb::kForWrite) != Acad::eOk) return id;
    auto* layout = new AcDbForeignObject("LAYOUT");
    // Plot settings and layout data as a drawing program expects them of a fresh layout.
    layout->foreign().chunk("AcDbPlotSettings") = {
        {1, ""}, {4, "A3"}, {6, ""}, {40, "7.5"}, {41, "20.0"}, {42, "7.5"}, {43, "20.0"}, {44, "420.0"},
        {45, "297.0"}, {46, "0.0"}, {47, "0.0"}, {48, "0.0"}, {49, "0.0"}, {140, "0.0"}, {141, "0.0"},
        {142, "1.0"}, {143, "1.0"}, {70, "1024"}, {72, "1"}, {73, "0"}, {74, "5"}, {7, ""}, {75, "16"},
        {76, "0"}, {77, "2"}, {78, "300"}, {147, "1.0"}, {148, "0.0"}, {149, "0.0"}};
    layout->foreign().chunk("AcDbLayout") = {
        {1, utf8Name}, {70, "1"}, {71, std::to_string(tabOrder)}, {10, "0.0"}, {20, "0.0"}, {11, "420.0"},
        {21, "297.0"}, {12, "0.0"}, {22, "0.0"}, {32, "0.0"}, {14, "0.0"}, {24, "0.0"}, {34, "0.0"},
        {15, "0.0"}, {25, "0.0"}, {35, "0.0"}, {146, "0.0"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"},
        {16, "1.0"}, {26, "0.0"}, {36, "0.0"}, {17, "0.0"}, {27, "1.0"}, {37, "0.0"}, {76, "0"},
        {330, blockId.handle().toString()}};
    if (dict->setAt(name, layout, id) == Acad::eOk)
        layout->close();
    else
        delete layout;
    dict->close();
    return id;
}

void setLayoutOfBlock(AcDbObjectId blockId, AcDbObjectId layoutId) {
    AcDbBlockTableRecord* rec = nullptr;
    if (acdbOpenObject(rec, blockId, AcDb::kForWrite) != Acad::eOk) return;
    rec->setLayoutId(layoutId);
    rec->close();
}

}  // namespace

void AcDbDatabase::ensureStandardObjects(bool dictionaries) {
    // Handle order follows the habit of drawing files: the named-object dictionary first.
    if (dictionaries && m_namedObjectsDictId.isNull()) {
        auto* root = new AcDbDictionary();
        addAcDbObject(m_namedObjectsDictId, root);
        root->close();
    }
    const AcDbObjectId none;
    auto table = [&](AcDbObjectId& id, auto* proto) {
        using Table = std::remove_pointer_t<decltype(proto)>;
        if (id.isNull()) id = addTable<Table>(*this, none);
    };
    table(m_blockTableId, static_cast<AcDbBlockTable*>(nullptr));
    table(m_layerTableId, static_cast<AcDbLayerTable*>(nullptr));
    table(m_textStyleTableId, static_cast<AcDbTextStyleTable*>(nullptr));
    table(m_dimStyleTableId, static_cast<AcDbDimStyleTable*>(nullptr));
    table(m_linetypeTableId, static_cast<AcDbLinetypeTable*>(nullptr));
    table(m_viewportTableId, static_cast<AcDbViewportTable*>(nullptr));
    table(m_viewTableId, static_cast<AcDbViewTable*>(nullptr));
    table(m_ucsTableId, static_cast<AcDbUCSTable*>(nullptr));
    table(m_regAppTableId, static_cast<AcDbRegAppTable*>(nullptr));

    auto record = [&](AcDbObjectId tableId, const ACHAR* name, auto* proto,
                      const std::function<void(std::remove_pointer_t<decltype(proto)>&)>& setUp = {}) {
        using Record = std::remove_pointer_t<decltype(proto)>;
        auto* t = AcDbSymbolTable::cast(tableId.slot()->object);
        AcDbObjectId id;
        if (t && t->getAt(name, id) == Acad::eOk) return id;
        return addRecord<Record>(tableId, name, setUp);
    };
    record(m_linetypeTableId, L"ByBlock", static_cast<AcDbLinetypeTableRecord*>(nullptr));
    const AcDbObjectId byLayer = record(m_linetypeTableId, L"ByLayer", static_cast<AcDbLinetypeTableRecord*>(nullptr));
    const AcDbObjectId continuous =
        record(m_linetypeTableId, L"Continuous", static_cast<AcDbLinetypeTableRecord*>(nullptr));
    const AcDbObjectId layer0 = record(m_layerTableId, L"0", static_cast<AcDbLayerTableRecord*>(nullptr),
                                       [&](AcDbLayerTableRecord& layer) { layer.setLinetypeObjectId(continuous); });
    const AcDbObjectId standardStyle =
        record(m_textStyleTableId, L"Standard", static_cast<AcDbTextStyleTableRecord*>(nullptr));
    const AcDbObjectId standardDim =
        record(m_dimStyleTableId, L"Standard", static_cast<AcDbDimStyleTableRecord*>(nullptr));
    record(m_regAppTableId, L"ACAD", static_cast<AcDbRegAppTableRecord*>(nullptr));
    record(m_viewportTableId, L"*Active", static_cast<AcDbViewportTableRecord*>(nullptr));
    if (m_celtype.isNull()) m_celtype = byLayer;
    if (m_clayer.isNull()) m_clayer = layer0;
    if (m_textstyle.isNull()) m_textstyle = standardStyle;
    if (m_dimstyle.isNull()) m_dimstyle = standardDim;

    const AcDbObjectId model = record(m_blockTableId, L"*Model_Space", static_cast<AcDbBlockTableRecord*>(nullptr));
    const AcDbObjectId paper = record(m_blockTableId, L"*Paper_Space", static_cast<AcDbBlockTableRecord*>(nullptr));
    for (AcDbObjectId blockId : {model, paper}) {
        auto* rec = AcDbBlockTableRecord::cast(blockId.slot()->object);
        if (!rec || !rec->blockBeginId().isNull()) continue;
        AcDbObjectId begin, end;
        auto* b = new AcDbBlockBegin();
        auto* e = new AcDbBlockEnd();
        b->setOwnerId(blockId);
        e->setOwnerId(blockId);
        b->setPropertyIds(m_clayer, AcDbObjectId());
        e->setPropertyIds(m_clayer, AcDbObjectId());
        addAcDbObject(begin, b);
        addAcDbObject(end, e);
        b->close();
        e->close();
        rec->setBlockBeginEnd(begin, end);
    }

    if (!dictionaries) return;
    auto* root = AcDbDictionary::cast(m_namedObjectsDictId.slot()->object);
    if (!root) return;
    if (!root->has(L"ACAD_GROUP")) addDictionary(m_namedObjectsDictId, L"ACAD_GROUP");
    AcDbObjectId layouts;
    if (root->getAt(L"ACAD_LAYOUT", layouts) != Acad::eOk) layouts = addDictionary(m_namedObjectsDictId, L"ACAD_LAYOUT");
    const std::pair<AcDbObjectId, const ACHAR*> spaces[] = {{model, L"Model"}, {paper, L"Layout1"}};
    int tab = 0;
    for (const auto& [blockId, name] : spaces) {
        auto* rec = AcDbBlockTableRecord::cast(blockId.slot()->object);
        if (rec && rec->getLayoutId().isNull())
            setLayoutOfBlock(blockId, addLayout(*this, layouts, blockId, name, tab == 0 ? "Model" : "Layout1", tab));
        ++tab;
    }
}

// ---- files ----

namespace hostdb {
namespace {
struct FileHolders {
    std::map<const void*, int> holders;  // database -> share mode
};
std::map<std::wstring, FileHolders>& fileTable() {
    static std::map<std::wstring, FileHolders> table;
    return table;
}
std::wstring canonical(const std::wstring& path) {
    std::error_code ec;
    const auto p = std::filesystem::weakly_canonical(hostrx::widePath(path), ec);
    return ec ? path : hostrx::pathText(p);
}
}  // namespace

namespace {
DrawingFiler* g_filer = nullptr;
}  // namespace

void setDrawingFiler(DrawingFiler* filer) { g_filer = filer; }

DrawingFiler* drawingFiler() { return g_filer; }

Acad::ErrorStatus acquireFile(const std::wstring& path, int shareMode, const void* holder) {
    auto& entry = fileTable()[canonical(path)];
    for (const auto& [other, mode] : entry.holders) {
        if (other == holder) continue;
        // A deny-read-write holder shuts everyone out; a new deny-read-write reader
        // needs the file to itself.
        if (mode == _SH_DENYRW || shareMode == _SH_DENYRW) return Acad::eFileSharingViolation;
        if (mode == _SH_DENYRD || shareMode == _SH_DENYRD) return Acad::eFileSharingViolation;
    }
    entry.holders[holder] = shareMode;
    return Acad::eOk;
}

void releaseFile(const std::wstring& path, const void* holder) {
    auto& table = fileTable();
    const auto it = table.find(canonical(path));
    if (it == table.end()) return;
    it->second.holders.erase(holder);
    if (it->second.holders.empty()) table.erase(it);
}

bool sameFile(const std::wstring& a, const std::wstring& b) { return canonical(a) == canonical(b); }

bool isFileLockedByOther(const std::wstring& path, const void* holder) {
    const auto& table = fileTable();
    const auto it = table.find(canonical(path));
    if (it == table.end()) return false;
    for (const auto& [other, mode] : it->second.holders)
        if (other != holder && mode == _SH_DENYRW) return true;
    return false;
}
}  // namespace hostdb

Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName, int shareMode, bool, const wchar_t*) {
    m_readReport = {};
    if (!fileName || !*fileName) {
        m_readReport.message = L"No file name was given.";
        return Acad::eFileNotFound;
    }
    if (!m_objectSlots.empty()) {
        m_readReport.message = L"The drawing already holds objects; a file is read into an empty drawing only.";
        return Acad::eInvalidInput;
    }
    const std::wstring path(fileName);
    hostdb::DrawingFiler* filer = hostdb::drawingFiler();
    if (!filer) {
        m_readReport.message = L"This program reads no drawing files.";
        return Acad::eNotImplementedYet;
    }
    if (const auto es = hostdb::acquireFile(path, shareMode, this); es != Acad::eOk) {
        m_readReport.message = L"The file " + path + L" is in use by another drawing.";
        return es;
    }
    const auto es = filer->read(*this, path);
    if (es != Acad::eOk) {
        hostdb::releaseFile(path, this);
        return es;
    }
    m_fileName = path;
    m_shareMode = shareMode;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::closeInput(bool) {
    if (!m_fileName.empty()) hostdb::releaseFile(m_fileName, this);
    m_fileName.clear();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName, const void*) {
    if (!fileName || !*fileName) return Acad::eFileNotFound;
    const std::wstring path(fileName);
    if (hostdb::isFileLockedByOther(path, this)) return Acad::eFileSharingViolation;
    if (m_readReport.recovered() && hostdb::sameFile(path, m_readReport.recoveredFrom)) return Acad::eRecoveredFromFile;
    hostdb::DrawingFiler* filer = hostdb::drawingFiler();
    if (!filer) return Acad::eNotImplementedYet;
    // A reader that does not evaluate fields shows the value the file keeps: the one
    // the custom properties give now.
    hostdb::evaluateFields(*this);
    return filer->write(*this, path);
}
