#include "ed/commandline.h"

#include "ed/wideformat.h"

#include <cstdarg>

namespace hosted {

CommandLine& CommandLine::instance() {
    static CommandLine line;
    return line;
}

void CommandLine::print(std::wstring_view text) {
    if (text.empty()) return;
    m_transcript.append(text);
    if (m_listener) m_listener(text);
}

}  // namespace hosted

int acutPrintf(const ACHAR* format, ...) {
    // Long enough for any line the host prints; longer texts are refused, not cut.
    constexpr std::size_t kMaxPrinted = 1 << 16;
    std::wstring text;
    va_list args;
    va_start(args, format);
    const bool ok = hosted::formatHostText(text, kMaxPrinted, format, args);
    va_end(args);
    if (!ok) return -1;
    hosted::CommandLine::instance().print(text);
    return static_cast<int>(text.size());
}
