#pragma once

#include "app/exitstatus.h"

#include "ed/inputsource.h"

#include <string>

namespace hostapp {

// Runs command-line input until it ends: command names, and "@open PATH" / "@save [PATH]"
// acting on the current document. Answers done when all went well, else the status the
// run ends with and the reason in message. An interactive source (a person) never ends the run this way:
// the reason goes to the command line, a failed prompt cancels its command, and the
// loop goes on until the input ends. After every line the display is updated
// (acedUpdateDisplay); a document is modified as its undo record says.
ExitStatus runCommandLine(hosted::InputSource& input, std::wstring& message);

}  // namespace hostapp
