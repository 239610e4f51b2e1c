#pragma once

#include "foreigndata.h"

#include "../ge/matrix3d.h"

namespace hostdb {

// Moves the points kept as persisted data: groups firstCode..lastCode (X), with their
// Y and Z groups 10 and 20 codes above. For the parts of an entity the host keeps
// without modelling them.
void transformPointItems(FilerItems& items, int firstCode, int lastCode, const AcGeMatrix3d& m,
                         bool vectorsOnly = false);

}  // namespace hostdb
