#pragma once

#include "frame/hostapi.h"

// The number of target units in one source unit, for scaling a block drawn in the
// source's insertion units into a drawing in the target's. 1 where the table has no
// entry (unitless, equal units, units beyond the table).
double insertUnitsFactor(AcDb::UnitsValue target, AcDb::UnitsValue source);
