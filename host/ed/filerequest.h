#pragma once

#include "adscodes.h"

#include <optional>
#include <string>

// Asks for a file name. flags bit 0 (1) asks for a new file to write, else an existing
// one is chosen. ext is the extension without its dot ("DWG"), title the dialog's
// title. RTNORM puts the path into result as an RTSTR whose text the caller frees with
// the buffer (acutRelRb); RTCAN when the user cancelled.
int acedGetFileD(const ACHAR* title, const ACHAR* defaultName, const ACHAR* ext, int flags, resbuf* result);

namespace hosted {

struct FileChoice {
    std::wstring title, defaultName, extension;
    bool existing = true;  // an existing file to read, not a new one to write
};

// Where file requests go when the host has windows: its file dialog, answering the
// chosen path or nullopt. Without one the request is a prompt on the command line.
using FileChooser = std::optional<std::wstring> (*)(const FileChoice& choice);
void setFileChooser(FileChooser chooser);

}  // namespace hosted
