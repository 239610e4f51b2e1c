#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/dictionary.h"
#include "db/field.h"
#include "db/group.h"
#include "db/layertable.h"
#include "db/mtext.h"
#include "db/summaryinfo.h"
#include "dxf/dxffiler.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A new block holding one line from (0,0,0) to (1,0,0), on the given layer when not null.
AcDbObjectId addBlockWithLine(AcDbDatabase& db, const ACHAR* name, AcDbObjectId layer = AcDbObjectId()) {
    const AcDbObjectId blockId = addBlock(db, name);
    auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
    if (!layer.isNull()) line->setLayer(layer);
    appendTo(blockId, line);
    return blockId;
}

TEST(Database, OpenProtocolStatuses) {
    AcDbDatabase db;
    const AcDbObjectId id = appendToModel(db, new AcDbLine({0, 0, 0}, {1, 0, 0}));
    AcDbEntity* a = nullptr;
    AcDbEntity* b = nullptr;
    ASSERT_EQ(acdbOpenObject(a, id, AcDb::kForWrite), Acad::eOk);
    // A second write open is granted: nested steps reopen what their caller holds.
    EXPECT_EQ(acdbOpenObject(b, id, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(acdbOpenObject(b, id, AcDb::kForRead), Acad::eWasOpenForWrite);
    a->close();
    a->close();
    ASSERT_EQ(acdbOpenObject(a, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(acdbOpenObject(b, id, AcDb::kForWrite), Acad::eWasOpenForRead);
    EXPECT_EQ(a->upgradeOpen(), Acad::eOk);
    EXPECT_EQ(a->erase(), Acad::eOk);
    a->close();
    EXPECT_EQ(acdbOpenObject(a, id, AcDb::kForRead), Acad::eWasErased);
    EXPECT_EQ(acdbOpenObject(a, AcDbObjectId(), AcDb::kForRead), Acad::eNullObjectId);
    EXPECT_STREQ(acadErrorStatusText(Acad::eKeyNotFound), L"eKeyNotFound");
    EXPECT_EQ(static_cast<int>(Acad::eKeyNotFound), 22);
}

TEST(Database, EntityOnLockedLayerCannotBeOpenedForWrite) {
    AcDbDatabase db;
    const AcDbObjectId id = appendToModel(db, new AcDbLine({0, 0, 0}, {1, 0, 0}));
    AcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(acdbOpenObject(layer, db.clayer(), AcDb::kForWrite), Acad::eOk);
    layer->setIsLocked(true);
    layer->close();
    AcDbEntity* ent = nullptr;
    EXPECT_EQ(acdbOpenObject(ent, id, AcDb::kForWrite), Acad::eOnLockedLayer);
    EXPECT_EQ(acdbOpenObject(ent, id, AcDb::kForRead), Acad::eOk);
    ent->close();
}

// Taking the icon empties the record: a write open is what allows that, and what is
// taken replaces the caller's bytes rather than adding to them.
TEST(Database, TakingABlockIconMovesItOutOfTheRecord) {
    AcDbDatabase db;
    const AcDbObjectId id = addBlock(db, L"VALVE");
    const AcArray<Adesk::UInt8> icon{40, 0, 0, 0, 7, 9};
    AcDbBlockTableRecord* rec = nullptr;
    ASSERT_EQ(acdbOpenObject(rec, id, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(rec->setPreviewIcon(icon), Acad::eOk);
    rec->close();

    AcArray<Adesk::UInt8> taken{1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(acdbOpenObject(rec, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(rec->takePreviewIcon(taken), Acad::eNotOpenForWrite);
    EXPECT_EQ(taken.length(), 8) << "a refused take leaves the caller's bytes";
    EXPECT_TRUE(rec->hasPreviewIcon());
    ASSERT_EQ(rec->upgradeOpen(), Acad::eOk);
    ASSERT_EQ(rec->takePreviewIcon(taken), Acad::eOk);
    EXPECT_EQ(taken, icon);
    EXPECT_FALSE(rec->hasPreviewIcon());
    AcArray<Adesk::UInt8> copied{1};
    EXPECT_EQ(rec->getPreviewIcon(copied), Acad::eOk);
    EXPECT_TRUE(copied.isEmpty());
    EXPECT_EQ(rec->takePreviewIcon(taken), Acad::eOk);
    EXPECT_TRUE(taken.isEmpty()) << "a record without an icon hands over none";
    rec->close();
}

TEST(Database, FieldShowsCustomPropertyInMText) {
    AcDbDatabase db;
    db.setCustomProperties({{L"Title", L"Bridge"}});
    auto* text = new AcDbMText();
    const AcDbObjectId id = appendToModel(db, text);
    AcDbMText* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, id, AcDb::kForWrite), Acad::eOk);
    auto* field = new AcDbField(L"%<\\AcVar CustomDP.Title>%");
    AcDbObjectId fieldId;
    ASSERT_EQ(open->setField(L"TEXT", field, fieldId), Acad::eOk);
    AcDbField* f = nullptr;
    ASSERT_EQ(acdbOpenObject(f, fieldId, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(f->evaluate(0, &db), Acad::eOk);
    EXPECT_EQ(f->getFieldCode(AcFd::kAddMarkers), L"%<\\AcVar CustomDP.Title>%");
    f->close();
    EXPECT_TRUE(open->hasFields());
    EXPECT_EQ(open->displayText(), L"Bridge");
    open->close();
}

TEST(Database, SummaryInfoCustomProperties) {
    AcDbDatabase db;
    AcDbDatabaseSummaryInfo* info = nullptr;
    ASSERT_EQ(acdbGetSummaryInfo(&db, info), Acad::eOk);
    std::unique_ptr<AcDbDatabaseSummaryInfo> owned(info);
    EXPECT_EQ(info->addCustomSummaryInfo(L"A", L"1"), Acad::eOk);
    EXPECT_EQ(info->addCustomSummaryInfo(L"B", L"2"), Acad::eOk);
    ACHAR* value = nullptr;
    EXPECT_EQ(info->getCustomSummaryInfo(L"C", value), Acad::eKeyNotFound);
    EXPECT_EQ(info->setCustomSummaryInfo(L"A", L"one"), Acad::eOk);
    EXPECT_EQ(info->deleteCustomSummaryInfo(1), Acad::eOk);
    EXPECT_EQ(acdbPutSummaryInfo(info, &db), Acad::eOk);
    ASSERT_EQ(db.customProperties().size(), 1u);
    EXPECT_EQ(db.customProperties()[0].second, L"one");
}

TEST(Database, WblockAndInsertCopyABlockWithItsLayer) {
    AcDbDatabase library;
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(acdbOpenObject(layers, library.layerTableId(), AcDb::kForWrite), Acad::eOk);
    auto* walls = new AcDbLayerTableRecord();
    walls->setName(L"Walls");
    AcDbObjectId wallsId;
    ASSERT_EQ(layers->add(wallsId, walls), Acad::eOk);
    walls->close();
    layers->close();
    const AcDbObjectId blockId = addBlockWithLine(library, L"DOOR", wallsId);

    AcDbDatabase* out = nullptr;
    ASSERT_EQ(library.wblock(out, blockId), Acad::eOk);
    std::unique_ptr<AcDbDatabase> written(out);
    AcDbDatabase target;
    AcDbObjectId newBlock;
    ASSERT_EQ(target.insert(newBlock, L"DOOR", written.get(), false), Acad::eOk);
    const auto* rec = AcDbBlockTableRecord::cast(newBlock.slot()->object);
    ASSERT_EQ(rec->entityIds().size(), 1u);
    const auto* copy = AcDbEntity::cast(rec->entityIds()[0].slot()->object);
    EXPECT_EQ(copy->layerName(), L"Walls");
    EXPECT_EQ(copy->layerId().database(), &target);
    AcDbObjectId again;
    EXPECT_EQ(target.insert(again, L"DOOR", written.get(), false), Acad::eDuplicateRecordName);
}

TEST(Database, ExplodeAndExtentsOfAScaledReference) {
    AcDbDatabase db;
    const AcDbObjectId blockId = addBlockWithLine(db, L"B");
    auto* ref = new AcDbBlockReference({10, 0, 0}, blockId);
    ref->setScaleFactors({2, 2, 2});
    const AcDbObjectId refId = appendToModel(db, ref);
    AcDbBlockReference* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, refId, AcDb::kForRead), Acad::eOk);
    AcDbExtents ext;
    ASSERT_EQ(open->getGeomExtents(ext), Acad::eOk);
    EXPECT_DOUBLE_EQ(ext.maxPoint().x, 12.0);
    AcDbVoidPtrArray parts;
    ASSERT_EQ(open->explode(parts), Acad::eOk);
    ASSERT_EQ(parts.length(), 1);
    std::unique_ptr<AcDbLine> part(static_cast<AcDbLine*>(parts[0]));
    EXPECT_DOUBLE_EQ(part->endPoint().x, 12.0);
    open->close();
}

// A filer that records what the database asks of it.
class RecordingFiler : public hostdb::DrawingFiler {
public:
    Acad::ErrorStatus read(AcDbDatabase&, const std::wstring& path) override {
        calls.push_back(L"read " + path);
        return Acad::eOk;
    }
    Acad::ErrorStatus write(const AcDbDatabase&, const std::wstring& path) override {
        calls.push_back(L"write " + path);
        return Acad::eOk;
    }
    std::vector<std::wstring> calls;
};

// Gives the database another filer for one test and the host's own back after it.
class FilerSwap {
public:
    explicit FilerSwap(hostdb::DrawingFiler* filer) { hostdb::setDrawingFiler(filer); }
    ~FilerSwap() { hostdb::setDrawingFiler(&hostdxf::dxfFiler()); }
    FilerSwap(const FilerSwap&) = delete;
    FilerSwap& operator=(const FilerSwap&) = delete;
};

TEST(DrawingFiles, TheDatabaseReadsAndSavesThroughTheFilerItIsGiven) {
    RecordingFiler filer;
    const FilerSwap swap(&filer);
    AcDbDatabase db(false, true);
    EXPECT_EQ(db.readDwgFile(L"/no/such/a.dwg", _SH_DENYNO), Acad::eOk);
    EXPECT_EQ(db.saveAs(L"/no/such/b.dwg"), Acad::eOk);
    EXPECT_EQ(filer.calls, (std::vector<std::wstring>{L"read /no/such/a.dwg", L"write /no/such/b.dwg"}));
}

// A program that gave no filer gets a status, not a crash, and the file stays free.
TEST(DrawingFiles, WithoutAFilerReadingAndSavingAnswerAStatus) {
    const FilerSwap swap(nullptr);
    AcDbDatabase db(false, true);
    EXPECT_EQ(db.readDwgFile(L"/tmp/a.dwg", _SH_DENYRW), Acad::eNotImplementedYet);
    EXPECT_FALSE(db.readReport().message.empty());
    EXPECT_EQ(db.saveAs(L"/tmp/a.dwg"), Acad::eNotImplementedYet);
    AcDbDatabase other(false, true);
    EXPECT_EQ(other.readDwgFile(L"/tmp/a.dwg", _SH_DENYRW), Acad::eNotImplementedYet) << "not locked by the first";
}

// Bad files are refused with a status and a message, never a crash.
TEST(DrawingFiles, BadInputIsRefused) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("marvolt-bad-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    struct Case {
        const char* name;
        std::string bytes;
        Acad::ErrorStatus expected;
    };
    const Case cases[] = {
        {"empty.dxf", "", Acad::eDwgCorrupt},
        {"binary.dwg", std::string("AC1032\0\0\0\x01\x02", 11), Acad::eNotADrawingFile},
        {"truncated.dxf", "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1032\n", Acad::eDwgCorrupt},
        {"badcode.dxf", "  0\nSECTION\n  2\nENTITIES\nxx\nLINE\n", Acad::eDwgCorrupt},
        {"badnumber.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nabc\n  0\nENDSEC\n  0\nEOF\n",
         Acad::eDwgCorrupt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path p = dir / c.name;
        std::ofstream(p, std::ios::binary) << c.bytes;
        AcDbDatabase db(false, true);
        EXPECT_EQ(db.readDwgFile(p.wstring().c_str(), _SH_DENYNO), c.expected);
        EXPECT_FALSE(db.readReport().message.empty());
    }
    AcDbDatabase missing(false, true);
    EXPECT_EQ(missing.readDwgFile((dir / "none.dxf").wstring().c_str()), Acad::eFileNotFound);
    AcDbDatabase folder(false, true);
    EXPECT_EQ(folder.readDwgFile(dir.wstring().c_str()), Acad::eIsAFolder);
    fs::remove_all(dir);
}

TEST(DrawingFiles, SavedDrawingReadsBack) {
    namespace fs = std::filesystem;
    const fs::path p = fs::temp_directory_path() / ("marvolt-rt-" + std::to_string(::getpid()) + ".dwg");
    {
        AcDbDatabase db;
        db.setCustomProperties({{L"Größe", L"中"}});
        appendToModel(db, new AcDbCircle({1, 2, 0}, AcGeVector3d::kZAxis, 3));
        ASSERT_EQ(db.saveAs(p.wstring().c_str()), Acad::eOk);
    }
    AcDbDatabase back(false, true);
    ASSERT_EQ(back.readDwgFile(p.wstring().c_str(), _SH_DENYNO), Acad::eOk);
    ASSERT_EQ(back.customProperties().size(), 1u);
    EXPECT_EQ(back.customProperties()[0].second, L"中");
    const auto* model = AcDbBlockTableRecord::cast(back.modelSpaceId().slot()->object);
    ASSERT_EQ(model->entityIds().size(), 1u);
    const auto* circle = AcDbCircle::cast(model->entityIds()[0].slot()->object);
    ASSERT_NE(circle, nullptr);
    EXPECT_DOUBLE_EQ(circle->radius(), 3.0);
    // A second reader that wants the file to itself is refused while this one holds it.
    AcDbDatabase other(false, true);
    EXPECT_EQ(other.readDwgFile(p.wstring().c_str(), _SH_DENYRW), Acad::eFileSharingViolation);
    back.closeInput();
    fs::remove(p);
}

// A process id that ran and has gone: a child that ended and was reaped.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// A save killed while writing leaves its temporary file; the next save of that drawing
// takes it away, but never another drawing's, another name's or a running save's.
TEST(DrawingFiles, ASaveRemovesTheTemporaryFilesOfKilledSavesOfTheSameDrawing) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("marvolt-stale-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string ended = std::to_string(endedProcess());
    const std::string running = std::to_string(::getppid());
    struct Case {
        std::string name;
        bool remains;
    };
    const Case cases[] = {
        {"a.dwg.marvolt-save-" + ended, false},
        {"a.dwg.marvolt-save-" + running, true},
        {"b.dwg.marvolt-save-" + ended, true},
        {"xa.dwg.marvolt-save-" + ended, true},
        {"a.dwg.marvolt-save-" + ended + "x", true},
        {"a.dwg.marvolt-save-", true},
    };
    for (const auto& c : cases) std::ofstream(dir / c.name) << "partial";
    AcDbDatabase db;
    ASSERT_EQ(db.saveAs((dir / "a.dwg").wstring().c_str()), Acad::eOk);
    for (const auto& c : cases) EXPECT_EQ(fs::exists(dir / c.name), c.remains) << c.name;
    EXPECT_FALSE(fs::exists(dir / ("a.dwg.marvolt-save-" + std::to_string(::getpid()))));
    EXPECT_TRUE(fs::exists(dir / "a.dwg"));
    fs::remove_all(dir);
}

}  // namespace
