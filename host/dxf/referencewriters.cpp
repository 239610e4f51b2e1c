#include "entitywriters.h"
#include "angles.h"

#include "../db/blockreference.h"
#include "../db/dimension.h"
#include "../db/text.h"

#include <vector>

namespace hostdxf::writing {
namespace {

// The reference's record, then its attributes and the end of their sequence, which
// has no object of its own when the reference was made here.
void writeInsert(WriterContext& ctx, const AcDbBlockReference& ref, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    std::vector<const AcDbAttribute*> attrs;
    for (AcDbObjectId id : ref.attributeIds())
        if (!id.isErased())
            if (const auto* a = AcDbAttribute::cast(id.slot()->object)) attrs.push_back(a);
    writeEntityCommon(ctx, ref, "INSERT", at);
    out.text(100, "AcDbBlockReference");
    if (!attrs.empty()) out.integer(66, 1);
    out.text(2, nameOf(ref.blockTableRecord()));
    const auto f = AcGePlaneFrame::fromNormal(ref.normal());
    const AcGePoint3d p = f.toPlane(ref.position());
    out.point(10, p.x, p.y, p.z);
    out.real(41, ref.scaleFactors().x);
    out.real(42, ref.scaleFactors().y);
    out.real(43, ref.scaleFactors().z);
    out.real(50, degreesToWrite(ref.rotation()));
    out.point(210, ref.normal().x, ref.normal().y, ref.normal().z);
    ctx.chunk(ref, "AcDbBlockReference");
    ctx.endRecord(ref);
    if (attrs.empty()) return;
    for (const auto* a : attrs) writeEntity(ctx, *a, at.handle, at.paper);
    ctx.forgetChunks();
    out.text(0, "SEQEND");
    out.handle(5, ctx.handleOrFresh(ref.sequenceEndId()));
    out.handle(330, at.handle);
    out.text(100, "AcDbEntity");
    out.text(8, ref.layerName().empty() ? L"0" : ref.layerName());
}

void writeDimension(WriterContext& ctx, const AcDbDimension& dim, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    writeEntityCommon(ctx, dim, "DIMENSION", at);
    out.text(100, "AcDbDimension");
    out.text(2, nameOf(dim.dimBlockId()));
    out.point(10, dim.definitionPoint().x, dim.definitionPoint().y, dim.definitionPoint().z);
    out.point(11, dim.textPosition().x, dim.textPosition().y, dim.textPosition().z);
    if (!dim.dimBlockPosition().isEqualTo(AcGePoint3d::kOrigin))
        out.point(12, dim.dimBlockPosition().x, dim.dimBlockPosition().y, dim.dimBlockPosition().z);
    out.integer(70, dim.dimensionType());
    out.integer(71, dim.attachment());
    if (dim.measurement() >= 0.0) out.real(42, dim.measurement());
    if (!dim.dimensionText().empty()) out.text(1, dim.dimensionText());
    if (dim.textRotation() != 0.0) out.real(53, dim.textRotation());
    if (dim.horizontalRotation() != 0.0) out.real(51, dim.horizontalRotation());
    out.point(210, dim.normal().x, dim.normal().y, dim.normal().z);
    out.text(3, nameOf(dim.dimensionStyle()).empty() ? L"Standard" : nameOf(dim.dimensionStyle()));
    ctx.chunk(dim, "AcDbDimension");
}

void writeLeader(WriterContext& ctx, const AcDbLeader& leader, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    writeEntityCommon(ctx, leader, "LEADER", at);
    out.text(100, "AcDbLeader");
    out.text(3, nameOf(leader.dimensionStyle()).empty() ? L"Standard" : nameOf(leader.dimensionStyle()));
    out.integer(71, leader.hasArrowHead() ? 1 : 0);
    out.integer(72, leader.isSplined() ? 1 : 0);
    out.integer(73, leader.annotationType());
    out.integer(74, leader.hookLineOnXDir() ? 0 : 1);
    out.integer(75, leader.hasHookLine() ? 1 : 0);
    out.real(40, leader.annoHeight());
    out.real(41, leader.annoWidth());
    out.integer(76, leader.numVertices());
    for (const auto& v : leader.vertices()) out.point(10, v.x, v.y, v.z);
    if (!leader.annotationObjId().isNull() && !leader.annotationObjId().isErased())
        out.handle(340, handleOf(leader.annotationObjId()));
    out.point(210, leader.normal().x, leader.normal().y, leader.normal().z);
    out.point(211, leader.horizontalDirection().x, leader.horizontalDirection().y, leader.horizontalDirection().z);
    out.point(212, leader.blockOffset().x, leader.blockOffset().y, leader.blockOffset().z);
    out.point(213, leader.annotationOffset().x, leader.annotationOffset().y, leader.annotationOffset().z);
    ctx.chunk(leader, "AcDbLeader");
}

}  // namespace

bool writeReference(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at) {
    if (const auto* ref = AcDbBlockReference::cast(&ent)) {
        writeInsert(ctx, *ref, at);  // ends its own record: its attributes follow it
        return true;
    }
    return writeAs(ctx, ent, at, writeDimension) || writeAs(ctx, ent, at, writeLeader);
}

}  // namespace hostdxf::writing
