#pragma once

#include "inputsource.h"

#include "../ge/point3d.h"

#include <optional>
#include <string>
#include <string_view>

namespace hosted {

// The editor's side of a prompt: it prints the prompt, takes the next input line and
// echoes it to the transcript. Input that a prompt cannot take, or input that ends
// while a prompt waits, puts the editor in a failed state with a message naming the
// line: every prompt from then on answers "cancelled" at once, so the running command
// winds down on its ordinary cancel path, and the caller reports the failure (a script
// ends; a person's session cancels the command and goes on, see reject).
//
// During a drag the source may answer with samples (InputLine::sample): the prompt is
// printed once for a run of samples and a sample is not echoed; the final line is.
class Editor {
public:
    static Editor& instance();

    void setInput(InputSource* source) { m_input = source; }  // not owned
    InputSource* input() const { return m_input; }

    // The next answer to prompt, or nullopt once the editor has failed.
    std::optional<InputLine> ask(std::wstring_view prompt, Request request = Request::text);
    // The line could not answer the prompt: fail with "what" naming what was expected.
    // For a person the transcript says so at once ("Invalid input: expected WHAT.").
    void reject(const InputLine& line, std::wstring_view what);

    // Whether a prompt of a running command is waiting for its answer.
    bool isWaitingForInput() const { return m_waiting > 0; }

    bool failed() const { return !m_failure.empty(); }
    const std::wstring& failure() const { return m_failure; }
    void clearFailure() { m_failure.clear(); }

    static bool isCancel(const InputLine& line) { return line.text == L"^C"; }

private:
    Editor() = default;
    void fail(std::wstring message);

    InputSource* m_input = nullptr;
    int m_waiting = 0;
    std::wstring m_failure;
    // The prompt of the run of drag samples under way, already printed.
    std::optional<std::wstring> m_samplingPrompt;
};

// The text without white space at either end.
std::wstring_view trimmed(std::wstring_view text);
// Reads "x,y" or "x,y,z" (blanks around the numbers allowed).
std::optional<AcGePoint3d> parsePoint(std::wstring_view text);
// Reads a whole number text as a real; nullopt when anything else is in it.
std::optional<double> parseReal(std::wstring_view text);

}  // namespace hosted
