#include "blocktab/filesearch.h"

#include "frame/hostapi.h"

bool pathFindsAnything(const std::wstring& text) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(text.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

std::int64_t fileModifiedTime(const std::wstring& path) {
    struct _stat64 status {};
    return _wstat64(path.c_str(), &status) == 0 ? static_cast<std::int64_t>(status.st_mtime) : 0;
}
