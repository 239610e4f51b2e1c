#include "entitywriters.h"

#include "../db/foreignentity.h"

#include <algorithm>

namespace hostdxf::writing {
namespace {

// A kind the host does not model goes back as it was read, with the records that
// followed it.
bool writeForeign(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at) {
    const auto* foreign = AcDbForeignEntity::cast(&ent);
    if (!foreign) return false;
    writeEntityCommon(ctx, ent, foreign->dxfName(), at);
    ctx.endRecord(ent);
    for (const auto& follower : foreign->followers()) {
        const bool hasHandle = std::any_of(follower.begin(), follower.end(), [](const auto& i) { return i.code == 5; });
        if (follower.empty() || hasHandle) {
            ctx.out().items(follower);
            continue;
        }
        // The records of a copy (or of a file without handles) get handles of their own.
        ctx.out().items({follower.front()});
        ctx.out().handle(5, ctx.handleOrFresh(AcDbObjectId()));
        ctx.out().handle(330, at.handle);
        ctx.out().items(hostdb::FilerItems(follower.begin() + 1, follower.end()));
    }
    return true;
}

}  // namespace

void writeEntityCommon(WriterContext& ctx, const AcDbEntity& ent, std::string_view type, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    ctx.begin(ent, type, at.handle, at.owner);
    out.text(100, "AcDbEntity");
    if (at.paper) out.integer(67, 1);
    const std::wstring layer = ent.layerName();
    out.text(8, layer.empty() ? L"0" : layer);
    const std::wstring lt = nameOf(ent.linetypeId());
    if (!lt.empty() && lt != L"ByLayer") out.text(6, lt);
    if (!ent.color().isByLayer()) out.integer(62, ent.color().colorIndex());
    if (ent.color().hasTrueColor()) out.integer(420, ent.color().rgb());
    if (ent.lineWeight() != AcDb::kLnWtByLayer) out.integer(370, ent.lineWeight());
    if (ent.linetypeScale() != 1.0) out.real(48, ent.linetypeScale());
    if (ent.visibility() == AcDb::kInvisible) out.integer(60, 1);
    ctx.chunk(ent, "AcDbEntity");
}

void writeEntity(WriterContext& ctx, const AcDbEntity& ent, std::uint64_t owner, bool paper) {
    const EntityPlace at{handleOf(ent.objectId()), owner, paper};
    // Block begin and end records and the ends of sequences are none of these.
    if (writeCurve(ctx, ent, at) || writeText(ctx, ent, at) || writeReference(ctx, ent, at)) return;
    writeForeign(ctx, ent, at);
}

}  // namespace hostdxf::writing
