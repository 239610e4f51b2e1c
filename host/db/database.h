#pragma once

#include "dbenums.h"
#include "foreigndata.h"
#include "objectid.h"

#include "../ge/point3d.h"
#include "../rx/errorstatus.h"
#include "../rx/rxobject.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class AcDbObject;
class AcDbBlockTableRecord;
class AcDbBlockTable;

namespace hostdb {
class UndoRecord;

// A header variable the host does not model, kept in file order with its values.
struct HeaderVariable {
    std::string name;  // "$ANGBASE"
    FilerItems values;
};

// A section of a drawing file kept whole because the host does not model it.
struct PreservedSection {
    std::string name;
    FilerItems items;
};

// Block contents that the file layer has not made into objects yet. A library drawing
// is opened to list its blocks, and most definitions are never looked into; making
// their entities costs more than all the rest of the read. The database asks for a
// block's contents the first time anything looks at them (its entity list, a handle
// lookup that lands in it, a save), so that callers see no difference.
class DeferredContents {
public:
    virtual ~DeferredContents() = default;
    // Makes the entities of a block whose contents are deferred; after it, the block is
    // no longer among the deferred ones.
    virtual void load(AcDbObjectId blockId) = 0;
    // A deferred block that may hold the object with this handle; null when none can.
    virtual AcDbObjectId blockHolding(AcDbHandle handle) const = 0;
    // Whether any block is still to be loaded.
    virtual bool pending() const = 0;
};

// The objects that changed since a view last asked (ids in the order of their first
// change, possibly repeated), or only that more changed than is worth listing.
struct ChangeJournal {
    std::vector<AcDbObjectId> ids;
    bool overflowed = false;
};

// What a read noticed: the message of a refused file, and the repairs of an accepted one.
// A file that only a recovering read could take names itself in recoveredFrom: its
// drawing is not the file's, and is never saved over it.
struct ReadReport {
    std::wstring message;
    std::vector<std::wstring> repairs;
    std::wstring recoveredFrom;
    bool recovered() const { return !recoveredFrom.empty(); }
};

}  // namespace hostdb

// A drawing: the owner of every object in it, of the header variables and of the
// summary information. Objects are added with addAcDbObject (or through a table,
// dictionary or block) and live until the database is destroyed; erased objects keep
// their ids.
class AcDbDatabase : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDatabase)

    // buildDefaultDrawing makes the standard tables, layer "0", model and paper space;
    // without it the database is empty and meant to be filled by readDwgFile.
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    ~AcDbDatabase() override;
    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;

    // Reads a drawing file into this (empty) database. shareMode is _SH_DENYNO (others
    // may read the file too) or _SH_DENYRW (no other reader while this database lives).
    Acad::ErrorStatus readDwgFile(const ACHAR* fileName, int shareMode = _SH_DENYWR,
                                  bool allowCPConversion = false, const wchar_t* password = nullptr);
    // Writes the drawing; the existing file is replaced only once the new one is complete.
    // A recovered drawing refuses the damaged file it came from (eRecoveredFromFile).
    Acad::ErrorStatus saveAs(const ACHAR* fileName, const void* securityParams = nullptr);
    // Lets go of the file that readDwgFile holds.
    Acad::ErrorStatus closeInput(bool closeFile = true);
    const std::wstring& filename() const { return m_fileName; }
    const hostdb::ReadReport& readReport() const { return m_readReport; }
    hostdb::ReadReport& readReport() { return m_readReport; }

    // Deletes every object and forgets every setting, as a database made empty: for the
    // file reader, which reads a damaged file again after a failed strict read.
    void discardContents();

    // Adds a new object (ownership passes to the database; it stays open for write).
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* obj);
    Acad::ErrorStatus addAcDbObject(AcDbObject* obj) {
        AcDbObjectId id;
        return addAcDbObject(id, obj);
    }
    // Adds an object read from a file under its own handle (null handle: a new one).
    Acad::ErrorStatus addReadObject(AcDbObjectId& id, std::unique_ptr<AcDbObject> obj, AcDbHandle handle);
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound, const AcDbHandle& handle);
    AcDbObjectId idFromHandle(AcDbHandle handle) const;
    // As idFromHandle, but without making deferred block contents: for the file reader,
    // which checks handles while it makes those contents.
    AcDbObjectId residentIdFromHandle(AcDbHandle handle) const;
    // Keeps a handle used by data the host does not model, so that no new object takes it.
    void reserveHandle(AcDbHandle handle);
    AcDbHandle handseed() const { return m_handseed; }
    // Every slot in the order objects were added (read order for a drawing from a file).
    const std::deque<hostdb::ObjectSlot>& objectSlots() const { return m_objectSlots; }

    AcDbObjectId blockTableId() const { return m_blockTableId; }
    // Opens the block table; the caller closes it.
    Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode) const;
    AcDbObjectId layerTableId() const { return m_layerTableId; }
    AcDbObjectId textStyleTableId() const { return m_textStyleTableId; }
    AcDbObjectId dimStyleTableId() const { return m_dimStyleTableId; }
    AcDbObjectId linetypeTableId() const { return m_linetypeTableId; }
    AcDbObjectId viewportTableId() const { return m_viewportTableId; }
    AcDbObjectId viewTableId() const { return m_viewTableId; }
    AcDbObjectId UCSTableId() const { return m_ucsTableId; }
    AcDbObjectId regAppTableId() const { return m_regAppTableId; }
    AcDbObjectId namedObjectsDictionaryId() const { return m_namedObjectsDictId; }
    AcDbObjectId groupDictionaryId() const;
    AcDbObjectId modelSpaceId() const;
    AcDbObjectId paperSpaceId() const;
    // The space new entities go to: model space unless set otherwise.
    AcDbObjectId currentSpaceId() const;
    void setCurrentSpaceId(AcDbObjectId id) { m_currentSpaceId = id; }

    // Table and dictionary roots; for the file reader and the database's own set-up.
    void setTableIds(AcDbObjectId block, AcDbObjectId layer, AcDbObjectId style, AcDbObjectId dimStyle,
                     AcDbObjectId linetype, AcDbObjectId viewport, AcDbObjectId view, AcDbObjectId ucs,
                     AcDbObjectId regApp);
    void setNamedObjectsDictionaryId(AcDbObjectId id) { m_namedObjectsDictId = id; }

    // Header variables.
    AcDbObjectId clayer() const { return m_clayer; }
    Acad::ErrorStatus setClayer(AcDbObjectId layerId);
    AcDb::UnitsValue insunits() const { return m_insunits; }
    void setInsunits(AcDb::UnitsValue units) { m_insunits = units; }
    double textsize() const { return m_textsize; }
    void setTextsize(double size) { m_textsize = size; }
    double dimscale() const { return m_dimscale; }
    void setDimscale(double scale) { m_dimscale = scale; }
    int lunits() const { return m_lunits; }
    void setLunits(int v) { m_lunits = v; }
    int luprec() const { return m_luprec; }
    void setLuprec(int v) { m_luprec = v; }
    int aunits() const { return m_aunits; }
    void setAunits(int v) { m_aunits = v; }
    int auprec() const { return m_auprec; }
    void setAuprec(int v) { m_auprec = v; }
    AcGePoint3d insbase() const { return m_insbase; }
    void setInsbase(const AcGePoint3d& p) { m_insbase = p; }
    AcDbObjectId textstyle() const { return m_textstyle; }
    void setTextstyle(AcDbObjectId id) { m_textstyle = id; }
    AcDbObjectId dimstyle() const { return m_dimstyle; }
    void setDimstyle(AcDbObjectId id) { m_dimstyle = id; }
    AcDbObjectId celtype() const { return m_celtype; }
    void setCeltype(AcDbObjectId id) { m_celtype = id; }

    // Header variables the host does not model, in file order.
    std::vector<hostdb::HeaderVariable>& headerVariables() { return m_headerVariables; }
    const std::vector<hostdb::HeaderVariable>& headerVariables() const { return m_headerVariables; }
    std::vector<hostdb::PreservedSection>& preservedSections() { return m_preservedSections; }
    const std::vector<hostdb::PreservedSection>& preservedSections() const { return m_preservedSections; }
    hostdb::FilerItems& classes() { return m_classes; }
    const hostdb::FilerItems& classes() const { return m_classes; }

    // The drawing's preview picture (a device-independent bitmap), empty when none.
    const std::vector<std::uint8_t>& thumbnailBitmap() const { return m_thumbnail; }
    void setThumbnailBitmap(std::vector<std::uint8_t> bytes) { m_thumbnail = std::move(bytes); }

    // Custom summary properties, in their order.
    using CustomProperties = std::vector<std::pair<std::wstring, std::wstring>>;
    const CustomProperties& customProperties() const { return m_customProperties; }
    void setCustomProperties(CustomProperties props) { m_customProperties = std::move(props); }
    std::wstring& summaryField(const std::string& name) { return m_summaryFields[name]; }
    const std::unordered_map<std::string, std::wstring>& summaryFields() const { return m_summaryFields; }

    // Deep clone.
    // Makes a new block `name` of this drawing from the model space of `source`.
    Acad::ErrorStatus insert(AcDbObjectId& blockId, const ACHAR* name, AcDbDatabase* source,
                             bool preserveSourceDatabase = true);
    // A new drawing whose model space holds the contents of block `blockId`.
    Acad::ErrorStatus wblock(AcDbDatabase*& output, AcDbObjectId blockId);

    // The class name of an object, for messages.
    static std::wstring describe(AcDbObjectId id);

    // Creates whatever standard object is missing (tables, layer "0", the standard
    // linetypes, style and dimension style, model and paper space, the named-object
    // dictionary with groups and layouts). A drawing read from an older file gets
    // them this way.
    // Without dictionaries, the named-object dictionary and what hangs from it are left out.
    void ensureStandardObjects(bool dictionaries = true);

    // Deferred block contents (see hostdb::DeferredContents): the file reader hands over
    // the source; blocks ask for theirs through loadContents.
    void setDeferredContents(std::shared_ptr<hostdb::DeferredContents> source) { m_deferred = std::move(source); }
    // Logically const: the contents were part of the drawing all along.
    void loadContents(AcDbObjectId blockId) const;
    void loadAllContents() const;

    // The drawing's undo history (hostdb/undorecord.h).
    hostdb::UndoRecord& undoRecord() { return *m_undo; }
    const hostdb::UndoRecord& undoRecord() const { return *m_undo; }

    // An object is about to change (a write open, or a change of its own); the open
    // protocol and the undo record call it. The undo record keeps its state, the change
    // journal its id.
    void objectChanging(hostdb::ObjectSlot& slot);
    // An object was added, given back or taken out by undo or redo.
    void noteChanged(hostdb::ObjectSlot& slot);
    // What changed since the last call, for a view that redraws only that; the journal
    // starts again empty.
    hostdb::ChangeJournal takeChanges();
    // The slots of every field ever added, so that evaluating the drawing's fields does
    // not walk every object; a slot may be empty (its field undone) or erased.
    const std::vector<hostdb::ObjectSlot*>& fieldSlots() const { return m_fieldSlots; }

private:
    friend class hostdb::UndoRecord;
    // Lets a handle that an undone and forgotten object held be given out again.
    void forgetHandle(const hostdb::ObjectSlot& slot);

    hostdb::ObjectSlot& newSlot(AcDbHandle handle);

    std::deque<hostdb::ObjectSlot> m_objectSlots;
    std::unordered_map<std::uint64_t, hostdb::ObjectSlot*> m_byHandle;
    AcDbHandle m_handseed{1};

    AcDbObjectId m_blockTableId, m_layerTableId, m_textStyleTableId, m_dimStyleTableId, m_linetypeTableId,
        m_viewportTableId, m_viewTableId, m_ucsTableId, m_regAppTableId, m_namedObjectsDictId;
    AcDbObjectId m_currentSpaceId;

    AcDbObjectId m_clayer, m_textstyle, m_dimstyle, m_celtype;
    AcDb::UnitsValue m_insunits = AcDb::kUnitsUndefined;
    double m_textsize = 2.5;
    double m_dimscale = 1.0;
    int m_lunits = 2, m_luprec = 4, m_aunits = 0, m_auprec = 0;
    AcGePoint3d m_insbase;

    std::vector<hostdb::HeaderVariable> m_headerVariables;
    std::vector<hostdb::PreservedSection> m_preservedSections;
    hostdb::FilerItems m_classes;
    std::vector<std::uint8_t> m_thumbnail;
    CustomProperties m_customProperties;
    std::unordered_map<std::string, std::wstring> m_summaryFields;

    std::wstring m_fileName;
    int m_shareMode = 0;
    hostdb::ReadReport m_readReport;
    std::shared_ptr<hostdb::DeferredContents> m_deferred;
    std::unique_ptr<hostdb::UndoRecord> m_undo;
    hostdb::ChangeJournal m_changes;
    std::vector<hostdb::ObjectSlot*> m_fieldSlots;
};

// Application services: the working database that commands act on.
class AcDbHostApplicationServices {
public:
    AcDbDatabase* workingDatabase() const { return m_working; }
    void setWorkingDatabase(AcDbDatabase* db) { m_working = db; }

private:
    AcDbDatabase* m_working = nullptr;
};

AcDbHostApplicationServices* acdbHostApplicationServices();
