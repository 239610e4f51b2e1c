#include "storage/iconcachefile.h"

#include "frame/commandlineprinter.h"
#include "storage/cppsqlite3db.h"
#include "storage/cppsqlite3exception.h"
#include "storage/utf16.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// SQLite's answers for bytes that are not a database: no database header at all (random
// bytes), or a header over pages that do not hold together (a truncated copy).
bool isDamage(const CppSQLite3Exception& e) { return e.code() == SQLITE_NOTADB || e.code() == SQLITE_CORRUPT; }

// The error may have come from a connection opened before the file was set aside (by an
// operation that holds one across nested ones, or by another process): the file now at
// the path is judged afresh, so that a new cache is never taken for the damaged one.
enum class Found { damaged, sound, unknown };

Found examine(const std::wstring& path) {
    try {
        CppSQLite3DB db;
        db.open(path);
        db.scalar(L"select count(*) from sqlite_master;");
        return Found::sound;
    } catch (const CppSQLite3Exception& e) {
        return isDamage(e) ? Found::damaged : Found::unknown;
    }
}

}  // namespace

std::wstring damagedFileName(const std::wstring& path, std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    wchar_t stamp[32] = {};
    std::swprintf(stamp, std::size(stamp), L".damaged-%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    const std::wstring name = path + stamp;
    std::wstring candidate = name;
    std::error_code ec;
    for (int n = 2; fs::exists(fs::symlink_status(filePath(candidate), ec)); ++n)
        candidate = name + L"-" + std::to_wstring(n);
    return candidate;
}

bool setAsideDamagedIconCache(const CppSQLite3Exception& error, const std::wstring& path) {
    std::error_code ec;
    if (!isDamage(error) || path.empty() || !fs::is_regular_file(filePath(path), ec)) return false;
    switch (examine(path)) {
        case Found::sound: return true;  // already set aside, and said so
        case Found::unknown: return false;
        case Found::damaged: break;
    }
    const std::wstring aside = damagedFileName(path, std::time(nullptr));
    fs::rename(filePath(path), filePath(aside), ec);
    if (ec) return false;
    printToCommandLine(L"\nThe icon cache could not be read as a database: it is set aside as %s, and a new one is made; "
                       L"the block lists and the history list it held are gone.",
                       aside.c_str());
    return true;
}
