#pragma once

#include <istream>
#include <optional>
#include <string>

namespace hosted {

// One line of user input and where it came from.
struct InputLine {
    std::wstring text;
    int number = 0;  // 1-based line of a script; 0 for input typed by a person
};

// Where the editor's answers come from: a person at the GUI or a script. next() blocks
// until the user has given a line (the GUI runs its event loop meanwhile) and answers
// nullopt once no more input will come. Lines are given without their line ending.
class InputSource {
public:
    virtual ~InputSource() = default;
    virtual std::optional<InputLine> next() = 0;
    // How messages name the source: a script's path, or "input".
    virtual std::wstring name() const = 0;
};

// A script: one answer a line. Comment lines (";" first) are skipped; a trailing
// carriage return is dropped; text is UTF-8.
class ScriptInput : public InputSource {
public:
    ScriptInput(std::istream& in, std::wstring name) : m_in(in), m_name(std::move(name)) {}
    std::optional<InputLine> next() override;
    std::wstring name() const override { return m_name; }

private:
    std::istream& m_in;
    std::wstring m_name;
    int m_number = 0;
};

}  // namespace hosted
