#include "entitywriters.h"
#include "angles.h"

#include "../db/curves.h"

namespace hostdxf::writing {
namespace {

void writeLine(WriterContext& ctx, const AcDbLine& e, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    writeEntityCommon(ctx, e, "LINE", at);
    out.text(100, "AcDbLine");
    if (e.thickness() != 0.0) out.real(39, e.thickness());
    out.point(10, e.startPoint().x, e.startPoint().y, e.startPoint().z);
    out.point(11, e.endPoint().x, e.endPoint().y, e.endPoint().z);
    if (!e.normal().isEqualTo(AcGeVector3d::kZAxis)) out.point(210, e.normal().x, e.normal().y, e.normal().z);
    ctx.chunk(e, "AcDbLine");
}

// The circle section that circles and arcs share; the centre goes into the plane frame.
void writeCircleBody(WriterContext& ctx, const AcDbEntity& ent, const AcGePoint3d& center, double radius,
                     const AcGeVector3d& normal, double thickness) {
    TagWriter& out = ctx.out();
    const AcGePoint3d c = AcGePlaneFrame::fromNormal(normal).toPlane(center);
    out.text(100, "AcDbCircle");
    if (thickness != 0.0) out.real(39, thickness);
    out.point(10, c.x, c.y, c.z);
    out.real(40, radius);
    out.point(210, normal.x, normal.y, normal.z);
    ctx.chunk(ent, "AcDbCircle");
}

void writeArc(WriterContext& ctx, const AcDbArc& arc, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    writeEntityCommon(ctx, arc, "ARC", at);
    writeCircleBody(ctx, arc, arc.center(), arc.radius(), arc.normal(), arc.thickness());
    out.text(100, "AcDbArc");
    out.real(50, degreesToWrite(arc.startAngle()));
    out.real(51, degreesToWrite(arc.endAngle()));
    ctx.chunk(arc, "AcDbArc");
}

void writeCircle(WriterContext& ctx, const AcDbCircle& circle, const EntityPlace& at) {
    writeEntityCommon(ctx, circle, "CIRCLE", at);
    writeCircleBody(ctx, circle, circle.center(), circle.radius(), circle.normal(), circle.thickness());
}

void writePoint(WriterContext& ctx, const AcDbPoint& pt, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    writeEntityCommon(ctx, pt, "POINT", at);
    out.text(100, "AcDbPoint");
    out.point(10, pt.position().x, pt.position().y, pt.position().z);
    if (pt.thickness() != 0.0) out.real(39, pt.thickness());
    out.point(210, pt.normal().x, pt.normal().y, pt.normal().z);
    out.real(50, degreesToWrite(pt.ecsRotation()));
    ctx.chunk(pt, "AcDbPoint");
}

void writePolyline(WriterContext& ctx, const AcDbPolyline& pl, const EntityPlace& at) {
    TagWriter& out = ctx.out();
    writeEntityCommon(ctx, pl, "LWPOLYLINE", at);
    out.text(100, "AcDbPolyline");
    out.integer(90, pl.numVerts());
    out.integer(70, (pl.isClosed() ? 1 : 0) | (pl.hasPlinegen() ? 128 : 0));
    if (pl.hasConstantWidth()) out.real(43, pl.constantWidth());
    if (pl.elevation() != 0.0) out.real(38, pl.elevation());
    if (pl.thickness() != 0.0) out.real(39, pl.thickness());
    for (const auto& v : pl.vertices()) {
        out.point2(10, v.point.x, v.point.y);
        if (v.startWidth != 0.0 || v.endWidth != 0.0) {
            out.real(40, v.startWidth);
            out.real(41, v.endWidth);
        }
        if (v.bulge != 0.0) out.real(42, v.bulge);
    }
    out.point(210, pl.normal().x, pl.normal().y, pl.normal().z);
    ctx.chunk(pl, "AcDbPolyline");
}

}  // namespace

bool writeCurve(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at) {
    return writeAs(ctx, ent, at, writeLine) || writeAs(ctx, ent, at, writeArc) || writeAs(ctx, ent, at, writeCircle) ||
           writeAs(ctx, ent, at, writePoint) || writeAs(ctx, ent, at, writePolyline);
}

}  // namespace hostdxf::writing
