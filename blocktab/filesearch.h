#pragma once

#include <string>

// Whether a file-system search for the text finds at least one file or folder; a text
// with wildcards counts when they match something.
bool pathFindsAnything(const std::wstring& text);
