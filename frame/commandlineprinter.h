#pragma once

#include "frame/hostapi.h"

// Formats like printf (a host wide format) into 1024 characters and prints the text on
// the command line. Text that does not fit, a formatting error or an empty result
// prints nothing.
void printToCommandLine(const ACHAR* format, ...);
