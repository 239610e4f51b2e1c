#pragma once

// The few platform (Win32-style) functions the module calls, with the platform's
// names and contracts so that module code reads the same on either host.

#include <cstddef>
#include <cstdint>
// The system's file status header names st_mtime a macro (for st_mtim.tv_sec), which
// would rewrite the member of _stat64 below; it is included first, and the macro
// dropped, so that the member keeps its name whatever a file includes afterwards.
#include <sys/stat.h>
#undef st_mtime

using DWORD = std::uint32_t;
using BOOL = int;

constexpr DWORD MAX_PATH = 260;

// A globally unique identifier: tool windows and automation interfaces are named by one.
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2, Data3;
    std::uint8_t Data4[8];
};
constexpr std::size_t _MAX_DRIVE = 3;
constexpr std::size_t _MAX_DIR = 256;
constexpr std::size_t _MAX_FNAME = 256;
constexpr std::size_t _MAX_EXT = 256;

// Writes the user's temporary directory ($TMPDIR, else /tmp) with a trailing separator.
// Answers the number of characters written without the terminator; when the buffer is
// too small, the size needed including the terminator and nothing written; 0 on failure.
DWORD GetTempPathW(DWORD bufferLength, wchar_t* buffer);

// Splits a path into drive (always empty here), folder with its trailing separator,
// name and extension with its dot. Any out-pointer may be null; each part is cut to
// the platform's maximum length.
void _wsplitpath(const wchar_t* path, wchar_t* drive, wchar_t* dir, wchar_t* fname, wchar_t* ext);

// True when a file or folder exists at the path.
BOOL PathFileExistsW(const wchar_t* path);

#include <cstdarg>

using HINSTANCE = void*;
constexpr std::size_t _TRUNCATE = static_cast<std::size_t>(-1);

// Formats into buffer (a host wide format: "%s" is a wide string) writing at most
// sizeOfBuffer - 1 characters and the terminator. With count _TRUNCATE, text that does
// not fit is cut and the answer is -1; otherwise the number of characters written.
int _vsnwprintf_s(wchar_t* buffer, std::size_t sizeOfBuffer, std::size_t count, const wchar_t* format,
                  va_list args);

// The full path of the loaded library (or, for null, of the program); 0 on failure,
// size when the path was cut to fit.
DWORD GetModuleFileNameW(HINSTANCE module, wchar_t* fileName, DWORD size);

// Upper-cases the terminated text in place with Unicode's own case rules, whatever the
// process locale; answers the text.
wchar_t* CharUpperW(wchar_t* text);
// File status: 0 on success, with st_mtime the last write in whole seconds since
// 1970-01-01 UTC (negative before; a part second counts down, as the system keeps it),
// st_size the size in bytes (0 for a folder) and st_mode the kind (_S_IFDIR, _S_IFREG)
// with the permission bits. -1 when the path cannot be examined.
constexpr unsigned _S_IFMT = 0xF000, _S_IFDIR = 0x4000, _S_IFREG = 0x8000;
struct _stat64 {
    std::int64_t st_mtime;
    std::int64_t st_size;
    unsigned st_mode;
};
int _wstat64(const wchar_t* path, struct _stat64* buffer);

// The file search. The pattern is a path whose last part may hold "*" (any run of
// characters) and "?" (any one character); folders hold no wildcards, and "*.*" also
// takes names without a dot, as on the CAD platform. Names match with their letter case,
// as file names do on this system. A plain path finds that one file or folder; a
// trailing separator finds nothing; "." and ".." are never answered. "/" separates
// folders. Names come in the order of their bytes.
//
// The handle owns the search until FindClose; FindFirstFileW answers
// INVALID_HANDLE_VALUE (and owns nothing) when nothing matches or the folder cannot be
// read. FindNextFileW answers FALSE after the last name.
using HANDLE = void*;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10, FILE_ATTRIBUTE_NORMAL = 0x80;
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    wchar_t cFileName[MAX_PATH];
};
HANDLE FindFirstFileW(const wchar_t* pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE search);
