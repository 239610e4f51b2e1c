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
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// What a search handle owns: every name found, answered one by one.
struct FileSearch {
    std::vector<std::pair<std::wstring, DWORD>> found;
    std::size_t next = 0;
};

// "*" any run of characters, "?" any one; a star that fails to match is retried one
// character further on, which is enough since only the last star ever needs to move.
bool wildcardMatch(std::wstring_view name, std::wstring_view pattern) {
    std::size_t n = 0, p = 0, starAt = std::wstring_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool hasWildcards(std::wstring_view s) { return s.find_first_of(L"*?") != std::wstring_view::npos; }

DWORD attributesOf(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

bool answerable(std::wstring_view name) {
    return !name.empty() && name != L"." && name != L".." && name.size() < MAX_PATH;
}

using FoundNames = std::vector<std::pair<std::wstring, DWORD>>;

FoundNames namesInFolder(const std::filesystem::path& folder, std::wstring_view pattern) {
    if (pattern == L"*.*") pattern = L"*";
    FoundNames found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::wstring name = hostrx::utf8ToWide(it->path().filename().string());
        if (answerable(name) && wildcardMatch(name, pattern)) found.emplace_back(name, attributesOf(it->path()));
    }
    std::sort(found.begin(), found.end());
    return found;
}

FoundNames findAll(std::wstring_view pattern) {
    const auto slash = pattern.rfind(L'/');
    const std::wstring_view folder = slash == std::wstring_view::npos ? L"." : pattern.substr(0, slash + 1);
    const std::wstring_view name = pattern.substr(slash == std::wstring_view::npos ? 0 : slash + 1);
    if (!answerable(name) || hasWildcards(folder)) return {};
    const std::filesystem::path folderPath(hostrx::wideToUtf8(folder));
    if (hasWildcards(name)) return namesInFolder(folderPath, name);
    const std::filesystem::path path(hostrx::wideToUtf8(pattern));
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return {};
    return {{std::wstring(name), attributesOf(path)}};
}

void fill(WIN32_FIND_DATAW* data, const std::pair<std::wstring, DWORD>& entry) {
    data->dwFileAttributes = entry.second;
    std::wmemcpy(data->cFileName, entry.first.c_str(), entry.first.size() + 1);
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

int _wstat64(const wchar_t* path, struct _stat64* buffer) {
    struct stat info {};
    if (!path || !buffer || ::stat(hostrx::wideToUtf8(path).c_str(), &info) != 0) return -1;
    buffer->st_mtime = info.st_mtim.tv_sec;
    buffer->st_size = S_ISDIR(info.st_mode) ? 0 : info.st_size;
    buffer->st_mode = info.st_mode & (_S_IFMT | 0777u);
    return 0;
}

HANDLE FindFirstFileW(const wchar_t* pattern, WIN32_FIND_DATAW* data) {
    if (!pattern || !data) return INVALID_HANDLE_VALUE;
    auto search = std::make_unique<FileSearch>();
    search->found = findAll(pattern);
    if (search->found.empty()) return INVALID_HANDLE_VALUE;
    fill(data, search->found[search->next++]);
    // The caller owns the search from here until FindClose.
    return search.release();
}

BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data) {
    if (!search || search == INVALID_HANDLE_VALUE || !data) return 0;
    auto* s = static_cast<FileSearch*>(search);
    if (s->next >= s->found.size()) return 0;
    fill(data, s->found[s->next++]);
    return 1;
}

BOOL FindClose(HANDLE search) {
    if (!search || search == INVALID_HANDLE_VALUE) return 0;
    std::unique_ptr<FileSearch> owned(static_cast<FileSearch*>(search));
    return 1;
}
