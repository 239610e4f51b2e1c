#include "storage/cppsqlite3exception.h"

#include <array>

namespace {

// SQLite's primary result codes 0 to 25, in code order.
constexpr std::array<const wchar_t*, 26> kPrimaryCodeNames = {
    L"SQLITE_OK",       L"SQLITE_ERROR",    L"SQLITE_INTERNAL", L"SQLITE_PERM",       L"SQLITE_ABORT",
    L"SQLITE_BUSY",     L"SQLITE_LOCKED",   L"SQLITE_NOMEM",    L"SQLITE_READONLY",   L"SQLITE_INTERRUPT",
    L"SQLITE_IOERR",    L"SQLITE_CORRUPT",  L"SQLITE_NOTFOUND", L"SQLITE_FULL",       L"SQLITE_CANTOPEN",
    L"SQLITE_PROTOCOL", L"SQLITE_EMPTY",    L"SQLITE_SCHEMA",   L"SQLITE_TOOBIG",     L"SQLITE_CONSTRAINT",
    L"SQLITE_MISMATCH", L"SQLITE_MISUSE",   L"SQLITE_NOLFS",    L"SQLITE_AUTH",       L"SQLITE_FORMAT",
    L"SQLITE_RANGE"};

const wchar_t* codeName(int code) {
    if (code >= 0 && code < static_cast<int>(kPrimaryCodeNames.size()))
        return kPrimaryCodeNames[static_cast<std::size_t>(code)];
    switch (code) {
    case 100: return L"SQLITE_ROW";
    case 101: return L"SQLITE_DONE";
    case CPPSQLITE_ERROR: return L"CPPSQLITE_ERROR";
    default: return L"UNKNOWN_ERROR";
    }
}

}  // namespace

CppSQLite3Exception::CppSQLite3Exception(int errorCode, std::wstring_view detail)
    : m_code(errorCode),
      m_message(std::wstring(codeName(errorCode)) + L'[' + std::to_wstring(errorCode) + L"]: " +
                std::wstring(detail)) {}

CppSQLite3Exception::~CppSQLite3Exception() = default;
