#include "commands/commands.h"
#include "commands/openobject.h"
#include "frame/hostapi.h"

namespace {

enum class FlipAxis { x, y };

// The half-turn about the line through the centre of the extents, parallel to X (top
// and bottom swap) or to Y (left and right swap) in plan; the line rises from the
// minimum to the maximum Z of the extents.
AcGeMatrix3d flipAbout(FlipAxis axis, const AcDbExtents& extents) {
    const AcGePoint3d min = extents.minPoint(), max = extents.maxPoint();
    const AcGePoint3d mid = min + (max - min) * 0.5;
    const AcGePoint3d from = axis == FlipAxis::x ? AcGePoint3d(min.x, mid.y, min.z) : AcGePoint3d(mid.x, min.y, min.z);
    const AcGePoint3d to = axis == FlipAxis::x ? AcGePoint3d(max.x, mid.y, max.z) : AcGePoint3d(mid.x, max.y, max.z);
    AcGeMatrix3d mirror;
    mirror.setToMirroring(AcGeLine3d(from, to));
    return mirror;
}

void flip(FlipAxis axis) {
    ads_name picked = {0, 0};
    ads_point at = {0.0, 0.0, 0.0};
    if (acedEntSel(L"\nSelect Entity to flip: ", picked, at) != RTNORM) return;
    AcDbObjectId id;
    OpenObject<AcDbEntity> entity;
    if (acdbGetObjectId(id, picked) != Acad::eOk || entity.open(id, AcDb::kForWrite) != Acad::eOk) return;
    AcDbExtents extents;
    // Without extents there is no centre to flip about: the entity stays as it is.
    if (entity->getGeomExtents(extents) != Acad::eOk || !extents.isValid()) return;
    entity->transformBy(flipAbout(axis, extents));
}

}  // namespace

void flipx() { flip(FlipAxis::x); }
void flipy() { flip(FlipAxis::y); }
