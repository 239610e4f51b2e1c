#include "frame/errorreport.h"

#include "frame/commandlineprinter.h"

void reportError(Acad::ErrorStatus status, const ACHAR* message, const ACHAR* operation, long line) {
    printToCommandLine(L"\n[%s], %s\n%s, %ld ", acadErrorStatusText(status), message, operation, line);
}
