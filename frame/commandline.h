#pragma once

// Prints on the host's command line. Formats like printf (wide text, the host's
// format convention) into a buffer of 1024 characters and prints the result only when
// formatting produced 1 to 1023 characters: an empty or overlong text prints nothing.
void printToCommandLine(const wchar_t* format, ...);
