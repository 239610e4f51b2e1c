#include "ed/draggen.h"

#include "ed/pointinput.h"
#include "ed/selection.h"

int acedDragGen(const ads_name ss, const ACHAR* prompt, int /*cursor*/, AcEdDragSampler scnf, ads_point result) {
    Adesk::Int32 length = 0;
    if (!scnf || !result || acedSSLength(ss, &length) != RTNORM) return RTERROR;
    AcGePoint3d point;
    if (const int rc = hosted::askPoint(prompt, L"a point (x,y or x,y,z)", point); rc != RTNORM) return rc;
    ads_point cursorPoint = {point.x, point.y, point.z};
    ads_matrix transform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const int sampled = scnf(cursorPoint, transform);
    if (sampled != RTNORM && sampled != RTNONE) return RTERROR;
    result[0] = point.x;
    result[1] = point.y;
    result[2] = point.z;
    return RTNORM;
}
