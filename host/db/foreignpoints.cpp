#include "foreignpoints.h"

#include <cstdio>
#include <cstdlib>

namespace hostdb {

void transformPointItems(FilerItems& items, int firstCode, int lastCode, const AcGeMatrix3d& m, bool vectorsOnly) {
    for (std::size_t i = 0; i + 2 < items.size(); ++i) {
        const int c = items[i].code;
        if (c < firstCode || c > lastCode || items[i + 1].code != c + 10 || items[i + 2].code != c + 20) continue;
        const AcGePoint3d p(std::strtod(items[i].value.c_str(), nullptr), std::strtod(items[i + 1].value.c_str(), nullptr),
                            std::strtod(items[i + 2].value.c_str(), nullptr));
        const AcGePoint3d q = vectorsOnly ? AcGePoint3d::kOrigin + m * p.asVector() : m * p;
        const double v[3] = {q.x, q.y, q.z};
        for (int k = 0; k < 3; ++k) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.17g", v[k]);
            items[i + static_cast<std::size_t>(k)].value = buf;
        }
        i += 2;
    }
}

}  // namespace hostdb
