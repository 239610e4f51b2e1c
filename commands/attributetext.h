#pragma once

#include "frame/hostapi.h"

#include <memory>

// A new single-line text that shows what the attribute shows: the attribute's entity
// properties, its value, placement and look. The alignment point is left to the caller,
// which sets it at the step its command names.
std::unique_ptr<AcDbText> textShowing(const AcDbAttribute& attribute);
