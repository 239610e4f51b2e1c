#pragma once

#include "ed/inputsource.h"

#include <string>

class AcApDocument;

namespace hostapp {

// Runs command-line input until it ends: command names, and "@open PATH" / "@save [PATH]"
// acting on the current document. Answers 0 when all went well, else an exit status
// with the reason in message: 2 for a line that is no command, 3 for input a prompt
// could not take or input that ended while a prompt waited, 4 for a file that could not
// be opened or saved. An interactive source (a person) never ends the run this way:
// the reason goes to the command line, a failed prompt cancels its command, and the
// loop goes on until the input ends. After every line the display is updated
// (acedUpdateDisplay), and a document a command ran on counts as modified.
int runCommandLine(hosted::InputSource& input, std::wstring& message);

// Opens a drawing as the current document; 0 or 4 with message.
int openDrawing(const std::wstring& path, std::wstring& message);
// Saves the current document under path (its own file name when empty); 0 or 4.
int saveDrawing(const std::wstring& path, std::wstring& message);
// The same for any open document; on success it takes path as its file name.
int saveDocument(AcApDocument& doc, const std::wstring& path, std::wstring& message);

}  // namespace hostapp
