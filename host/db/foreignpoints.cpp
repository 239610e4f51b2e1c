#include "foreignpoints.h"

#include "../rx/numbertext.h"

namespace hostdb {

void transformPointItems(FilerItems& items, int firstCode, int lastCode, const AcGeMatrix3d& m, bool vectorsOnly) {
    for (std::size_t i = 0; i + 2 < items.size(); ++i) {
        const int c = items[i].code;
        if (c < firstCode || c > lastCode || items[i + 1].code != c + 10 || items[i + 2].code != c + 20) continue;
        const AcGePoint3d p(hostrx::numberOrZero(items[i].value), hostrx::numberOrZero(items[i + 1].value),
                            hostrx::numberOrZero(items[i + 2].value));
        const AcGePoint3d q = vectorsOnly ? AcGePoint3d::kOrigin + m * p.asVector() : m * p;
        const double v[3] = {q.x, q.y, q.z};
        for (int k = 0; k < 3; ++k) items[i + static_cast<std::size_t>(k)].value = hostrx::formatNumber(v[k]);
        i += 2;
    }
}

}  // namespace hostdb
