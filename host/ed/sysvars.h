#pragma once

#include "adscodes.h"

// The drawing's system variables as the editor offers them, read from the working
// database: DIMSCALE and TEXTSIZE (RTREAL), INSUNITS, LUNITS, LUPREC, AUNITS and AUPREC
// (RTSHORT). RTNORM with the value in result (one buffer, not a list); RTERROR for
// a name the host does not keep, a null result, or no working drawing.
int acedGetVar(const ACHAR* name, resbuf* result);

// Converts a point (or, with vec, a displacement) from the user coordinate system to
// the world's. The host keeps no user coordinate systems, so the two are the same.
Adesk::Boolean acdbUcs2Wcs(const ads_point from, ads_point to, Adesk::Boolean vec);
