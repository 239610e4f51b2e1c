#pragma once

#include "adscodes.h"

// The sampler of a drag: called with the cursor point and a matrix that arrives as the
// identity; it fills in how the dragged selection is shown at that point. It answers
// RTNORM to show the selection transformed by the matrix, RTNONE to show it unchanged,
// and anything else to end the drag with RTERROR.
using AcEdDragSampler = int (*)(ads_point cursor, ads_matrix transform);

// Drags a selection set after the cursor until the user gives a point. Answers RTNORM
// with the point in result, RTNONE for an empty answer, RTCAN on Escape and once the
// editor has failed, RTERROR for an unknown set, a missing argument or a sampler that
// refused. The drawing is not changed: what the sampler computes only shows the drag.
// cursor (the cursor's look) is not used by this host.
//
// In a script the point line answers the drag: the sampler is called once with that
// point, as with the last cursor position of a person's drag. A person's cursor moves
// call the sampler too, and the display shows the selection placed by its matrix.
int acedDragGen(const ads_name ss, const ACHAR* prompt, int cursor, AcEdDragSampler scnf, ads_point result);
