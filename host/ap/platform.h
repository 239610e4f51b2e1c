#pragma once

// The few platform (Win32-style) functions the module calls, with the platform's
// names and contracts so that module code reads the same on either host.

#include <cstddef>
#include <cstdint>

using DWORD = std::uint32_t;
using BOOL = int;

constexpr DWORD MAX_PATH = 260;
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
