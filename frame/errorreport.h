#pragma once

#include "frame/hostapi.h"

// Prints the error report line of a failed host call: the call's status, the step that
// failed, the reporting operation ("Class::method") and the source line of the report.
void reportError(Acad::ErrorStatus status, const ACHAR* message, const ACHAR* operation, long line);

#define MARVOLT_REPORT(status, message, operation) reportError((status), (message), (operation), __LINE__)
