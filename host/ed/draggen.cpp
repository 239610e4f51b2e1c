#include "ed/draggen.h"

#include "db/entity.h"
#include "ed/dragdisplay.h"
#include "ed/pointinput.h"
#include "ed/selection.h"

#include <memory>
#include <vector>

namespace {

using Copies = std::vector<std::unique_ptr<AcDbEntity>>;

AcGeMatrix3d toMatrix(const ads_matrix m) {
    AcGeMatrix3d out;
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) out(r, c) = m[r][c];
    return out;
}

// The selection as the sampler placed it, for the screen only.
Copies placedCopies(const ads_name ss, const AcGeMatrix3d& placement) {
    Copies copies;
    Adesk::Int32 length = 0;
    acedSSLength(ss, &length);
    for (Adesk::Int32 i = 0; i < length; ++i) {
        ads_name name = {0, 0};
        AcDbObjectId id;
        if (acedSSName(ss, i, name) != RTNORM || acdbGetObjectId(id, name) != Acad::eOk) continue;
        const AcDbEntity* e = hosted::liveEntity(id);
        AcDbEntity* copy = nullptr;
        if (e && e->getTransformedCopy(placement, copy) == Acad::eOk) copies.emplace_back(copy);
    }
    return copies;
}

}  // namespace

int acedDragGen(const ads_name ss, const ACHAR* prompt, int /*cursor*/, AcEdDragSampler scnf, ads_point result) {
    Adesk::Int32 length = 0;
    if (!scnf || !result || acedSSLength(ss, &length) != RTNORM) return RTERROR;
    hosted::DragSession shown;
    // Replaced only after the next frame is shown: the display holds the last ones.
    Copies copies;
    while (true) {
        hosted::PointAnswer answer;
        if (const int rc = hosted::askPoint(prompt, L"a point (x,y or x,y,z)", hosted::Request::drag, answer);
            rc != RTNORM)
            return rc;
        const AcGePoint3d& point = answer.point;
        ads_point cursorPoint = {point.x, point.y, point.z};
        ads_matrix transform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
        const int sampled = scnf(cursorPoint, transform);
        if (sampled != RTNORM && sampled != RTNONE) return RTERROR;
        if (!answer.sample) {
            result[0] = point.x;
            result[1] = point.y;
            result[2] = point.z;
            return RTNORM;
        }
        Copies next = placedCopies(ss, sampled == RTNORM ? toMatrix(transform) : AcGeMatrix3d());
        std::vector<const AcDbEntity*> frame;
        for (const auto& c : next) frame.push_back(c.get());
        shown.present(frame);
        copies = std::move(next);
    }
}
