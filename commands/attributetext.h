#pragma once

#include "frame/hostapi.h"

#include <memory>

// A new single-line text that shows what an attribute, or a constant attribute
// definition, shows: its entity properties, its value, placement and look. The
// alignment point is left to the caller, which sets it at the step its command names.
std::unique_ptr<AcDbText> textShowing(const AcDbText& attribute);

// A new MText that shows every line of a multiline attribute or constant definition:
// its embedded MText with the attribute's entity properties. Null for a single-line one.
std::unique_ptr<AcDbMText> mtextShowing(const AcDbText& attribute);
