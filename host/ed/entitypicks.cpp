#include "ed/entitypicks.h"

#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/database.h"
#include "ed/hittest.h"
#include "ed/pointinput.h"
#include "ed/selection.h"

#include <memory>
#include <optional>
#include <vector>

namespace {

// Where a pick looks: the point and half the side of the pick box.
struct Probe {
    AcGePoint3d point;
    double aperture = 0.0;
};

// What a nested pick found: the entity, the references that contain it (innermost
// first) and the transformation that carries it to world coordinates.
struct NestedHit {
    AcDbObjectId entity;
    std::vector<AcDbObjectId> references;
    AcGeMatrix3d toWorld;
};

// A block that (through damage) contains itself ends the search here.
constexpr int kMaxDepth = 64;

// Reads one pick: RTNORM with the point, RTERROR for an empty answer, RTCAN on Escape.
int askPick(const ACHAR* prompt, hosted::PointAnswer& answer) {
    const int rc = hosted::askPoint(prompt ? prompt : L"\nSelect object: ", L"a pick point (x,y or x,y,z)",
                                    hosted::Request::pick, answer);
    return rc == RTNONE ? RTERROR : rc;
}

// aperture 0: the host's rule, as a script's picks have it.
std::optional<Probe> probeAt(const AcGePoint3d& point, double aperture) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) return std::nullopt;
    return Probe{point, aperture > 0.0 ? aperture : hosted::pickAperture(*db)};
}

// Whether the probe falls in the plan box of the entity carried to world coordinates.
bool probeInBox(const AcDbEntity& entity, const AcGeMatrix3d& toWorld, const Probe& probe) {
    AcDbExtents box;
    if (entity.getGeomExtents(box) != Acad::eOk || !box.isValid()) return false;
    box.transformBy(toWorld);
    const AcGePoint3d lo = box.minPoint(), hi = box.maxPoint(), p = probe.point;
    const double a = probe.aperture;
    return p.x >= lo.x - a && p.x <= hi.x + a && p.y >= lo.y - a && p.y <= hi.y + a;
}

// Whether the entity, carried to world coordinates by toWorld, lies under the probe.
bool hitsPlaced(const AcDbEntity& entity, const AcGeMatrix3d& toWorld, const Probe& probe) {
    if (toWorld.isEqualTo(AcGeMatrix3d::kIdentity)) return hosted::hitsPoint(entity, probe.point, probe.aperture);
    AcDbEntity* copy = nullptr;
    if (entity.getTransformedCopy(toWorld, copy) == Acad::eOk) {
        const std::unique_ptr<AcDbEntity> placed(copy);
        return hosted::hitsPoint(*placed, probe.point, probe.aperture);
    }
    // A shape the transformation cannot keep (a circle in an unevenly scaled block) is
    // tested by its box.
    return probeInBox(entity, toWorld, probe);
}

bool pickEntity(AcDbObjectId id, const AcGeMatrix3d& toWorld, const Probe& probe, NestedHit& hit, int depth);

// Attributes are drawn over the block's entities, the last one on top. They lie in the
// coordinates of the space that holds their reference.
bool pickAttribute(const AcDbBlockReference& ref, const AcGeMatrix3d& outer, const Probe& probe, NestedHit& hit) {
    const auto& ids = ref.attributeIds();
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const auto* attr = AcDbAttribute::cast(hosted::liveEntity(*it));
        if (!attr || attr->isInvisible() || attr->visibility() != AcDb::kVisible) continue;
        if (!hitsPlaced(*attr, outer, probe)) continue;
        hit = {*it, {}, outer};
        return true;
    }
    return false;
}

bool pickInsideReference(AcDbObjectId refId, const AcGeMatrix3d& outer, const Probe& probe, NestedHit& hit,
                         int depth) {
    const auto* ref = AcDbBlockReference::cast(hosted::liveEntity(refId));
    if (!ref || depth > kMaxDepth || !probeInBox(*ref, outer, probe)) return false;
    if (pickAttribute(*ref, outer, probe, hit)) return true;
    const AcDbObjectId blockId = ref->blockTableRecord();
    const auto* block = blockId.isValid() ? AcDbBlockTableRecord::cast(blockId.slot()->object) : nullptr;
    if (!block) return false;
    const AcGeMatrix3d inner = outer * ref->blockTransform();
    const auto& ids = block->entityIds();
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const AcDbEntity* e = hosted::liveEntity(*it);
        if (!e || AcDbAttributeDefinition::cast(e)) continue;  // definitions are not drawn in a reference
        if (!pickEntity(*it, inner, probe, hit, depth + 1)) continue;
        hit.references.push_back(refId);
        return true;
    }
    return false;
}

bool pickEntity(AcDbObjectId id, const AcGeMatrix3d& toWorld, const Probe& probe, NestedHit& hit, int depth) {
    const AcDbEntity* e = hosted::liveEntity(id);
    if (!e) return false;
    if (AcDbBlockReference::cast(e)) return pickInsideReference(id, toWorld, probe, hit, depth);
    if (!hitsPlaced(*e, toWorld, probe)) return false;
    hit = {id, {}, toWorld};
    return true;
}

std::optional<AcDbObjectId> topmostAt(const Probe& probe) {
    const auto ids = hosted::currentSpaceEntities();
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const AcDbEntity& e = *hosted::liveEntity(*it);
        if (hosted::findable(e, hosted::Finding::shown) && hosted::hitsPoint(e, probe.point, probe.aperture)) return *it;
    }
    return std::nullopt;
}

std::optional<NestedHit> nestedAt(const Probe& probe) {
    const auto ids = hosted::currentSpaceEntities();
    NestedHit hit;
    for (auto it = ids.rbegin(); it != ids.rend(); ++it)
        if (hosted::findable(*hosted::liveEntity(*it), hosted::Finding::shown) &&
            pickEntity(*it, AcGeMatrix3d::kIdentity, probe, hit, 0))
            return hit;
    return std::nullopt;
}

bool setName(AcDbObjectId id, ads_name out) {
    ads_name name = {0, 0};
    if (acdbGetAdsName(name, id) != Acad::eOk) return false;
    out[0] = name[0];
    out[1] = name[1];
    return true;
}

resbuf* referenceList(const std::vector<AcDbObjectId>& references) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (AcDbObjectId id : references) {
        *tail = acutNewRb(RTENAME);
        setName(id, (*tail)->resval.rlname);
        tail = &(*tail)->rbnext;
    }
    return head;
}

void copyPoint(const AcGePoint3d& p, ads_point out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

}  // namespace

int acedEntSel(const ACHAR* prompt, ads_name entres, ads_point ptres) {
    if (!entres || !ptres) return RTERROR;
    hosted::PointAnswer pick;
    if (const int rc = askPick(prompt, pick); rc != RTNORM) return rc;
    copyPoint(pick.point, ptres);
    const auto probe = probeAt(pick.point, pick.aperture);
    const auto found = probe ? topmostAt(*probe) : std::nullopt;
    if (!found) return RTERROR;
    return setName(*found, entres) ? RTNORM : RTERROR;
}

int acedNEntSelP(const ACHAR* prompt, ads_name entres, ads_point ptres, int pickflag, ads_matrix xformres,
                 resbuf** refstkres) {
    if (refstkres) *refstkres = nullptr;
    if (!entres || !ptres) return RTERROR;
    hosted::PointAnswer pick{AcGePoint3d(ptres[0], ptres[1], ptres[2])};
    if (pickflag == 0) {
        if (const int rc = askPick(prompt, pick); rc != RTNORM) return rc;
        copyPoint(pick.point, ptres);
    }
    const auto probe = probeAt(pick.point, pick.aperture);
    const auto hit = probe ? nestedAt(*probe) : std::nullopt;
    if (!hit || !setName(hit->entity, entres)) return RTERROR;
    if (xformres)
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c) xformres[r][c] = hit->toWorld(r, c);
    if (refstkres) *refstkres = referenceList(hit->references);
    return RTNORM;
}
