#pragma once

#include <string>

// The editor's command-line transcript: every text printed on the command line, in
// order, for the life of the process. Tests read and clear it.
std::wstring& hostEditorTranscript();

// Prints on the command line: formats with the host's wide printf convention (see
// hostFormatToPlatform), appends the text to the transcript and writes it to standard
// output as UTF-8. Answers the number of characters printed, or -1 when the arguments
// could not be formatted (nothing is printed then).
int acutPrintf(const wchar_t* format, ...);
