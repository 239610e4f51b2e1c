#pragma once

#include <cstdint>
#include <string>

// Whether a file-system search for the text finds at least one file or folder; a text
// with wildcards counts when they match something.
bool pathFindsAnything(const std::wstring& text);

// The last-write time of the file or folder in whole seconds since 1970-01-01 UTC; 0
// when its status cannot be read.
std::int64_t fileModifiedTime(const std::wstring& path);
