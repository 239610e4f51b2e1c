#pragma once

#include "app/exitstatus.h"

#include <string>

class AcApDocument;

// Opening and saving drawings as documents, for the script's "@open"/"@save" lines, the
// program's --open/--save and the main window's File menu alike.
namespace hostapp {

// Opens a drawing as the current document (a new, empty one for an empty path); done,
// or fileFailed with message.
ExitStatus openDrawing(const std::wstring& path, std::wstring& message);
// Saves the current document under path (its own file name when empty); done or fileFailed.
ExitStatus saveDrawing(const std::wstring& path, std::wstring& message);
// The same for any open document; on success it takes path as its file name.
ExitStatus saveDocument(AcApDocument& doc, const std::wstring& path, std::wstring& message);

}  // namespace hostapp
