#pragma once

#include <ctime>
#include <string>

class CppSQLite3Exception;

// The icon cache holds nothing that cannot be read again from the drawings. When error
// says that the file at path is not a database at all (a disk error, a truncated copy),
// the file is renamed aside (never deleted) and one line on the command line says so, so
// that the next operation makes a new cache instead of every later one failing the same
// way. Answers whether it did; any other error, or a file that cannot be renamed, is
// left for the caller to report. For the icon cache only: other files hold what the
// user made and are never set aside.
bool setAsideDamagedIconCache(const CppSQLite3Exception& error, const std::wstring& path);

// The name a damaged file goes aside under: path.damaged-YYYYMMDD-HHMMSS in local time,
// then -2, -3, ... while that name is taken, so that no earlier one is replaced.
std::wstring damagedFileName(const std::wstring& path, std::time_t when);
