#pragma once

#include <string>

// The module's two data files live in the user's temporary directory. Both functions
// rebuild the path on every call and answer whether a file exists there; when the
// temporary directory cannot be had (or would pass MAX_PATH), path is left unchanged.
bool getIconCachePath(std::wstring& path);
bool getFieldDbPath(std::wstring& path);
