#include "frame/commandlineprinter.h"

#include <cstdarg>

void printToCommandLine(const ACHAR* format, ...) {
    ACHAR buffer[1024];
    va_list args;
    va_start(args, format);
    const int length = _vsnwprintf_s(buffer, sizeof buffer / sizeof buffer[0], _TRUNCATE, format, args);
    va_end(args);
    // "%s" so that a percent sign in the formatted text prints as it is.
    if (length > 0) acutPrintf(L"%s", buffer);
}
