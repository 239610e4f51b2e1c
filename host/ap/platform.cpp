#include "ap/platform.h"

#include "rx/textcase.h"
#include "rx/utf8.h"
#include "ed/wideformat.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <sys/stat.h>

namespace {

std::wstring tempDirectory() {
    const char* env = std::getenv("TMPDIR");
    std::wstring dir = hostrx::utf8ToWide(env && *env ? env : "/tmp");
    if (dir.back() != L'/') dir += L'/';
    return dir;
}

void copyPart(const wchar_t* begin, const wchar_t* end, wchar_t* out, std::size_t capacity) {
    if (!out) return;
    std::size_t n = static_cast<std::size_t>(end - begin);
    if (n > capacity - 1) n = capacity - 1;
    std::wmemcpy(out, begin, n);
    out[n] = L'\0';
}

}  // namespace

DWORD GetTempPathW(DWORD bufferLength, wchar_t* buffer) {
    const std::wstring dir = tempDirectory();
    const auto needed = static_cast<DWORD>(dir.size() + 1);
    if (!buffer || bufferLength < needed) return needed;
    std::wmemcpy(buffer, dir.c_str(), needed);
    return needed - 1;
}

void _wsplitpath(const wchar_t* path, wchar_t* drive, wchar_t* dir, wchar_t* fname, wchar_t* ext) {
    const wchar_t* end = path + std::wcslen(path);
    const wchar_t* nameStart = path;
    for (const wchar_t* p = path; p != end; ++p)
        if (*p == L'/' || *p == L'\\') nameStart = p + 1;
    const wchar_t* dot = end;
    for (const wchar_t* p = end; p != nameStart; --p)
        if (p[-1] == L'.') {
            dot = p - 1;
            break;
        }
    copyPart(path, path, drive, _MAX_DRIVE);
    copyPart(path, nameStart, dir, _MAX_DIR);
    copyPart(nameStart, dot, fname, _MAX_FNAME);
    copyPart(dot, end, ext, _MAX_EXT);
}

BOOL PathFileExistsW(const wchar_t* path) {
    struct stat info {};
    return path && ::stat(hostrx::wideToUtf8(path).c_str(), &info) == 0;
}

int _vsnwprintf_s(wchar_t* buffer, std::size_t sizeOfBuffer, std::size_t count, const wchar_t* format,
                  va_list args) {
    if (!buffer || sizeOfBuffer == 0 || !format) return -1;
    const std::size_t room = count == _TRUNCATE ? sizeOfBuffer - 1 : std::min(count, sizeOfBuffer - 1);
    std::wstring text;
    va_list again;
    va_copy(again, args);
    // The common case fits at the first try; only text that does not is formatted
    // again in full so that its beginning can be kept.
    constexpr std::size_t kLongest = 1 << 20;
    const bool fits = hosted::formatHostText(text, room, format, args);
    const bool ok = fits || hosted::formatHostText(text, kLongest, format, again);
    va_end(again);
    if (!ok) {
        buffer[0] = L'\0';
        return -1;
    }
    const std::size_t n = std::min(text.size(), room);
    std::wmemcpy(buffer, text.data(), n);
    buffer[n] = L'\0';
    return n < text.size() ? -1 : static_cast<int>(n);
}

DWORD GetModuleFileNameW(HINSTANCE module, wchar_t* fileName, DWORD size) {
    if (!fileName || size == 0) return 0;
    std::string path;
    if (module) {
        link_map* map = nullptr;
        if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return 0;
        path = map->l_name;
    } else {
        char exe[4096];
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe);
        if (n <= 0) return 0;
        path.assign(exe, static_cast<std::size_t>(n));
    }
    const std::wstring wide = hostrx::utf8ToWide(path);
    const std::size_t n = std::min<std::size_t>(wide.size(), size - 1);
    std::wmemcpy(fileName, wide.data(), n);
    fileName[n] = L'\0';
    return n < wide.size() ? size : static_cast<DWORD>(n);
}

wchar_t* CharUpperW(wchar_t* text) {
    if (!text) return text;
    for (wchar_t* c = text; *c; ++c) *c = hostrx::upperChar(*c);
    return text;
}
