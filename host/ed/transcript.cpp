#include "ed/transcript.h"

#include "dxf/textcodec.h"
#include "ed/wideformat.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <optional>

namespace {

// vswprintf reports only failure when the buffer is short, so the buffer grows until
// the text fits; past a megabyte of characters the text is refused.
constexpr std::size_t kFirstCapacity = 256;
constexpr std::size_t kMaxCapacity = std::size_t{1} << 20;

std::optional<std::wstring> formatText(const std::wstring& platformFormat, va_list args) {
    for (std::size_t capacity = kFirstCapacity; capacity <= kMaxCapacity; capacity *= 4) {
        std::wstring buffer(capacity, L'\0');
        va_list attempt;
        va_copy(attempt, args);
        const int n = std::vswprintf(buffer.data(), capacity, platformFormat.c_str(), attempt);
        va_end(attempt);
        if (n >= 0) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
    }
    return std::nullopt;
}

}  // namespace

std::wstring& hostEditorTranscript() {
    static std::wstring transcript;
    return transcript;
}

int acutPrintf(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const std::optional<std::wstring> text = formatText(hostFormatToPlatform(format), args);
    va_end(args);
    if (!text) return -1;
    hostEditorTranscript() += *text;
    const std::string utf8 = hostdxf::wideToUtf8(*text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return static_cast<int>(text->size());
}
