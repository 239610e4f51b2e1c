#pragma once

#include "../rx/adesk.h"

#include <functional>
#include <string>
#include <string_view>

namespace hosted {

// The command-line transcript: everything acutPrintf prints and every prompt with the
// answer it got, in order. A listener (the script runner's standard output, the GUI's
// command-line window) sees each piece as it arrives.
class CommandLine {
public:
    static CommandLine& instance();

    void print(std::wstring_view text);
    const std::wstring& transcript() const { return m_transcript; }
    void clear() { m_transcript.clear(); }
    // Replaces the listener; an empty function removes it.
    void setListener(std::function<void(std::wstring_view)> listener) { m_listener = std::move(listener); }

private:
    CommandLine() = default;
    std::wstring m_transcript;
    std::function<void(std::wstring_view)> m_listener;
};

}  // namespace hosted

// Prints to the command line; the format is a host wide format (see wideformat.h).
// Answers the number of characters printed, or -1 when the format does not work out.
int acutPrintf(const ACHAR* format, ...);
