// The sections of a drawing file in their order; each has a writer of its own
// (writercontext.h), and all share one WriterContext.

#include "dxfwriter.h"

#include "previewmaker.h"
#include "writercontext.h"

#include "../db/database.h"

#include <cstdio>

namespace hostdxf {
namespace {

using writing::WriterContext;

// Sections the host does not model, as they were read.
void writePreservedSections(WriterContext& ctx) {
    for (const auto& s : ctx.db().preservedSections()) {
        if (s.name.starts_with("TABLE:")) continue;
        ctx.beginSection(s.name);
        ctx.out().items(s.items);
        ctx.endSection();
    }
}

void writeThumbnail(WriterContext& ctx) {
    const AcDbDatabase& db = ctx.db();
    const DrawingPreviewMaker maker = drawingPreviewMaker();
    const std::vector<std::uint8_t> made = maker ? maker(db) : std::vector<std::uint8_t>{};
    const std::vector<std::uint8_t>& bytes = maker ? made : db.thumbnailBitmap();
    if (bytes.empty()) return;
    ctx.beginSection("THUMBNAILIMAGE");
    ctx.out().integer(90, static_cast<long long>(bytes.size()));
    ctx.out().binary(310, bytes);
    ctx.endSection();
}

std::string run(WriterContext& ctx) {
    using namespace writing;
    TagWriter& out = ctx.out();
    writeHeader(ctx);
    ctx.beginSection("CLASSES");
    out.items(ctx.db().classes());
    ctx.endSection();
    writeTables(ctx);
    writeBlocks(ctx);
    writeEntities(ctx);
    writeObjects(ctx);
    writePreservedSections(ctx);
    writeThumbnail(ctx);
    out.text(0, "EOF");
    // The handle seed is known only now that every written record has its handle.
    std::string& text = out.data();
    char seed[24];
    std::snprintf(seed, sizeof seed, "%llX", static_cast<unsigned long long>(ctx.nextHandle()));
    const auto at = text.find("@HANDSEED@");
    if (at != std::string::npos) text.replace(at, 10, seed);
    return std::move(text);
}

}  // namespace

std::string writeDrawing(const AcDbDatabase& db) {
    // Every object gets written, and the objects section walks all of them.
    db.loadAllContents();
    WriterContext ctx(db);
    return run(ctx);
}

}  // namespace hostdxf
