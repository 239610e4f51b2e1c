#include "point3d.h"

#include "matrix3d.h"

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) { return *this = m.apply(*this); }
