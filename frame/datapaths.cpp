#include "frame/datapaths.h"

#include "frame/hostapi.h"

namespace {

bool dataFilePath(std::wstring& path, const wchar_t* fileName) {
    wchar_t dir[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH, dir);
    if (length == 0 || length >= MAX_PATH) return false;
    path = std::wstring(dir, length) + fileName;
    return PathFileExistsW(path.c_str()) != 0;
}

}  // namespace

bool getIconCachePath(std::wstring& path) { return dataFilePath(path, L"iconcache.db"); }

bool getFieldDbPath(std::wstring& path) { return dataFilePath(path, L"FieldDb.db"); }
