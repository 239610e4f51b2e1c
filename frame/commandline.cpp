#include "frame/commandline.h"

#include "frame/hostapi.h"

#include <cstdarg>
#include <cwchar>
#include <iterator>
#include <string>

void printToCommandLine(const wchar_t* format, ...) {
    wchar_t buffer[1024];
    const std::wstring platformFormat = hostFormatToPlatform(format);
    va_list args;
    va_start(args, format);
    const int length = std::vswprintf(buffer, std::size(buffer), platformFormat.c_str(), args);
    va_end(args);
    // Passed as an argument, not as the format, so that a percent sign in the text
    // (a file name, an SQLite message) is printed as it stands.
    if (length > 0) acutPrintf(L"%s", buffer);
}
