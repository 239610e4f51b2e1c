#pragma once

#include "app/exitstatus.h"
#include "ed/inputsource.h"

#include <string>

namespace hostapp {

// Runs command-line input until it ends: command names, and "@open PATH" / "@save [PATH]"
// acting on the current document. Answers done when all went well, else the status
// the run ends with and the reason in message.
ExitStatus runCommandLine(hosted::InputSource& input, std::wstring& message);

// Opens a drawing as the current document; done, or fileFailed with message.
ExitStatus openDrawing(const std::wstring& path, std::wstring& message);
// Saves the current document under path (its own file name when empty); done, or
// fileFailed with message.
ExitStatus saveDrawing(const std::wstring& path, std::wstring& message);

}  // namespace hostapp
