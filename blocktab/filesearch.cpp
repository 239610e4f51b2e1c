#include "blocktab/filesearch.h"

#include "frame/hostapi.h"

bool pathFindsAnything(const std::wstring& text) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(text.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}
