// The walk over the sections of a drawing file; each section has a reader of its own
// (sectionreaders.h), and all share one ReaderContext.

#include "dxfreader.h"

#include "deferredblocks.h"
#include "readercontext.h"
#include "recoveredbytes.h"
#include "sectionreaders.h"

#include "../db/blockreference.h"
#include "../db/blocktable.h"
#include "../db/dictionary.h"
#include "../rx/utf8.h"

#include <functional>
#include <unordered_map>

namespace hostdxf {

std::wstring binaryFileKind(std::string_view data) {
    if (data.starts_with("AutoCAD Binary DXF")) return L"a binary DXF file";
    const std::string_view head = data.substr(0, 6);
    if (head.size() == 6 && head.starts_with("AC1") && data.substr(0, 4096).find('\0') != std::string_view::npos)
        return L"a binary DWG file";
    if (data.substr(0, 4096).find('\0') != std::string_view::npos) return L"a binary file";
    return {};
}

}  // namespace hostdxf

namespace hostdxf::reading {
namespace {

// A section kept as it is, up to its ENDSEC.
bool readRaw(ReaderContext& ctx, hostdb::FilerItems& items) {
    Tag t;
    while (ctx.nextTag(t)) {
        if (t.code == 0 && (t.value == "ENDSEC" || ctx.sectionEndsEarly(t, "kept"))) return true;
        if (t.code == 0 && t.value == "EOF") break;
        items.push_back({t.code, std::string(t.value)});
    }
    return ctx.truncated("the file ends inside a section");
}

bool readThumbnail(ReaderContext& ctx) {
    hostdb::FilerItems items;
    if (!readRaw(ctx, items)) return false;
    std::vector<std::uint8_t> bytes;
    for (const auto& item : items) {
        if (item.code != 310) continue;
        if (!appendHexBytes(item.value, bytes))
            ctx.repair("the drawing preview holds characters that are not hexadecimal", "it was kept up to them");
    }
    ctx.db().setThumbnailBitmap(std::move(bytes));
    return true;
}

void finishObjects(ReaderContext& ctx) {
    ctx.finishReferences();
    const AcDbObjectId root = ctx.rootObject();
    if (!root.isNull() && AcDbDictionary::cast(root.slot()->object)) ctx.db().setNamedObjectsDictionaryId(root);
    setHeaderSymbols(ctx);
}

// The blocks that a block references; for a deferred block, as its records name them,
// so that the check does not make every block's contents.
std::vector<AcDbObjectId> referencedBlocks(ReaderContext& ctx, const AcDbBlockTableRecord& rec) {
    std::vector<AcDbObjectId> out;
    if (const auto* names = ctx.deferredReferences(rec.objectId())) {
        for (const auto& name : *names)
            if (const AcDbObjectId id = ctx.symbolId(ctx.db().blockTableId(), name); !id.isNull()) out.push_back(id);
        return out;
    }
    for (AcDbObjectId id : rec.entityIds())
        if (const auto* ref = AcDbBlockReference::cast(id.slot()->object); ref && !ref->blockTableRecord().isNull())
            out.push_back(ref->blockTableRecord());
    return out;
}

// A block that contains a reference to itself, directly or through other blocks, has
// no finite drawing: such a file is refused.
void checkBlockCycles(ReaderContext& ctx) {
    auto* table = AcDbBlockTable::cast(ctx.db().blockTableId().slot()->object);
    if (!table) return;
    std::unordered_map<const void*, int> state;  // 1 visiting, 2 done
    std::function<bool(AcDbObjectId, std::wstring&)> visit = [&](AcDbObjectId blockId, std::wstring& culprit) {
        int& s = state[blockId.slot()];
        if (s == 2) return false;
        if (s == 1) return true;
        s = 1;
        const auto* rec = AcDbBlockTableRecord::cast(blockId.slot()->object);
        for (AcDbObjectId referenced : referencedBlocks(ctx, *rec)) {
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
            ctx.fail(Acad::eSelfReference, "block \"" + hostrx::wideToUtf8(culprit) + "\" contains a reference to itself");
            return;
        }
    }
}

// Reads one section, after its name.
bool readSection(ReaderContext& ctx, const std::string& name) {
    AcDbDatabase& db = ctx.db();
    if (name == "HEADER") return readHeader(ctx);
    if (name == "CLASSES") return readRaw(ctx, db.classes());
    if (name == "TABLES") return readTables(ctx);
    if (name == "BLOCKS") return (db.blockTableId().isNull() ? (db.ensureStandardObjects(), true) : true) && readBlocks(ctx);
    if (name == "ENTITIES") return readEntities(ctx);
    if (name == "OBJECTS") return readObjects(ctx);
    if (name == "THUMBNAILIMAGE") return readThumbnail(ctx);
    db.preservedSections().push_back({name, {}});
    return readRaw(ctx, db.preservedSections().back().items);
}

// Recovering: groups between sections. Header variables are taken into the header;
// anything else up to the next section is dropped.
void readBetweenSections(ReaderContext& ctx, Tag t) {
    if (t.code == 9) {
        readStrayHeaderVariables(ctx, t);
        return;
    }
    const std::size_t line = ctx.tags().line();
    const auto sectionOrEnd = [](const Tag& g) { return g.code == 0 && (g.value == "SECTION" || g.value == "EOF"); };
    while (!sectionOrEnd(t) && ctx.nextTag(t)) {
    }
    if (sectionOrEnd(t)) ctx.tags().pushBack(t);
    ctx.repair("line " + std::to_string(line) + ": groups outside any section", "they were dropped");
}

// What follows EOF: nothing but blanks in a sound file.
void checkAfterEnd(ReaderContext& ctx) {
    const std::string_view rest = ctx.tags().rest();
    if (rest.find_first_not_of(" \t\r\n") == std::string_view::npos) return;
    ctx.repair(std::to_string(rest.size()) + " bytes follow EOF (" + ctx.where() + ")", "they were dropped");
}

Acad::ErrorStatus run(ReaderContext& ctx) {
    Tag t;
    bool sawEof = false;
    int sections = 0;
    while (ctx.status() == Acad::eOk && ctx.nextTag(t)) {
        if (t.code == 999) continue;  // comment
        const bool sectionStart = t.code == 0 && t.value == "SECTION";
        if (!sectionStart && !(t.code == 0 && t.value == "EOF") && ctx.recovering()) {
            readBetweenSections(ctx, t);
            continue;
        }
        if (t.code != 0) {
            ctx.fail(Acad::eBadDxfSequence, ctx.where() + ": expected 0 SECTION, found group " + std::to_string(t.code));
            break;
        }
        if (t.value == "EOF") {
            sawEof = true;
            checkAfterEnd(ctx);
            break;
        }
        if (t.value != "SECTION") {
            ctx.fail(Acad::eBadDxfSequence, ctx.where() + ": expected 0 SECTION, found " + std::string(t.value.substr(0, 40)));
            break;
        }
        if (!ctx.nextTag(t)) {
            if (!ctx.recovering()) ctx.fail(Acad::eBadDxfSequence, ctx.where() + ": a section has no name");
            break;
        }
        if (t.code != 2) {
            if (ctx.recovering()) {
                readBetweenSections(ctx, t);
                continue;
            }
            ctx.fail(Acad::eBadDxfSequence, ctx.where() + ": a section has no name");
            break;
        }
        // A section counts as readable once read to its end; a file cut inside its first
        // one holds no drawing worth recovering.
        if (!readSection(ctx, std::string(t.value))) break;
        ++sections;
    }
    if (ctx.status() == Acad::eOk && !sawEof && !ctx.cutOff()) {
        if (!ctx.tags().error().empty()) ctx.fail(Acad::eDwgCorrupt, ctx.tags().error());
        else if (!ctx.recovering()) ctx.fail(Acad::eDwgCorrupt, "the file ends without EOF: it is truncated");
        else ctx.repair("the file ends without EOF", "it was ended there");
    }
    if (ctx.status() == Acad::eOk && sections == 0) ctx.fail(Acad::eDwgCorrupt, "the file holds no readable section");
    if (ctx.status() != Acad::eOk) return ctx.status();
    finishObjects(ctx);
    ctx.db().ensureStandardObjects();
    checkBlockCycles(ctx);
    if (ctx.tags().hadInvalidText())
        ctx.repair("some text is not valid in the drawing's encoding", "those characters were replaced");
    return ctx.status();
}

}  // namespace
}  // namespace hostdxf::reading

namespace hostdxf {

namespace {

Acad::ErrorStatus readDrawing(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes, reading::ReadMode mode) {
    using namespace reading;
    ReaderContext ctx(db, std::move(bytes), mode);
    prescanHeader(ctx);
    // A recovering read makes every block at once, so that its report is whole.
    std::shared_ptr<DeferredBlocks> deferred;
    if (mode == ReadMode::strict) {
        deferred = std::make_shared<DeferredBlocks>(db, ctx.bytes(), ctx.decoding());
        ctx.setDeferred(deferred);
        db.setDeferredContents(deferred);
    }
    const auto es = run(ctx);
    // With nothing deferred, the database need not keep the file's bytes.
    if (deferred && !deferred->pending()) db.setDeferredContents(nullptr);
    if (es != Acad::eOk) db.readReport().message = hostrx::utf8ToWide(ctx.message());
    return es;
}

// After a failed strict read: the database is emptied and the file read again from a
// cleaned copy of its bytes, repairing as it goes. The report keeps why the strict read
// refused the file, and lists the repairs; a file that even this cannot read keeps the
// strict read's status and message.
Acad::ErrorStatus recover(AcDbDatabase& db, std::string_view bytes, const std::wstring& path,
                          Acad::ErrorStatus strictStatus) {
    auto& report = db.readReport();
    const std::wstring refusal = report.message;
    db.discardContents();
    report.repairs.clear();
    std::vector<std::string> byteRepairs;
    auto cleaned = FileBytes::copy(reading::cleanedBytes(bytes, byteRepairs));
    if (readDrawing(db, std::move(cleaned), reading::ReadMode::recovering) != Acad::eOk) {
        db.discardContents();
        report = {refusal, {}, {}};
        return strictStatus;
    }
    std::vector<std::wstring> repairs;
    for (const auto& r : byteRepairs) repairs.push_back(hostrx::utf8ToWide(r));
    repairs.insert(repairs.end(), report.repairs.begin(), report.repairs.end());
    report = {refusal, std::move(repairs), path};
    return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus readDrawing(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes) {
    return readDrawing(db, std::move(bytes), reading::ReadMode::strict);
}

Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::string_view bytes, const std::wstring& path,
                                   Recovery recovery) {
    return readDrawingBytes(db, FileBytes::copy(bytes), path, recovery);
}

Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::shared_ptr<const FileBytes> file, const std::wstring& path,
                                   Recovery recovery) {
    auto& report = db.readReport();
    const std::string_view bytes = file->view();
    if (bytes.empty()) {
        report.message = L"The drawing " + path + L" is empty.";
        return Acad::eDwgCorrupt;
    }
    Acad::ErrorStatus es = Acad::eNotADrawingFile;
    if (const std::wstring kind = binaryFileKind(bytes); !kind.empty()) {
        report.message = path + L" is not a drawing this host can read: it is " + kind +
                         L", and this host reads ASCII DXF drawings only.";
        // A text drawing with NUL bytes in it counts as binary to the strict read alone.
        if (recovery == Recovery::refuse || kind != L"a binary file" || !reading::looksLikeDrawingText(bytes))
            return es;
    } else {
        // The strict read leaves out byte-order marks, which a tag reader skips.
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            es = Acad::eDwgCorrupt;
            report.message = L"the file begins with a byte-order mark";
        } else {
            es = readDrawing(db, file);
        }
        if (es == Acad::eOk) return es;
        report.message = L"The drawing " + path + L" is damaged: " + report.message;
        if (recovery == Recovery::refuse) return es;
    }
    return recover(db, bytes, path, es);
}

}  // namespace hostdxf
