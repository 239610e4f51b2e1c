#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace hosted {

// What a prompt waits for. A script ignores it; a person's source lets the mouse answer
// only where it makes sense (a click gives a point, a dragged rectangle a window at a
// selection, cursor moves samples during a drag).
enum class Request {
    command,    // "Command: " — nothing runs
    text,       // a text, a number or a keyword
    point,      // a point
    pick,       // an entity pick: a point with the pick box it was made with
    selection,  // "Select objects: ": picks, windows, crossings, ALL
    drag,       // a jig or acedDragGen: cursor samples, then the final input
};

// One line of user input and where it came from.
struct InputLine {
    std::wstring text;
    int number = 0;  // 1-based line of a script; 0 for input typed by a person
    // Half the side of the pick box in drawing units a pick was made with; 0 leaves it
    // to the host's rule (hosted::pickAperture), which scripts keep.
    double aperture = 0.0;
    // A cursor position during a drag that does not end it. Only Request::drag gets
    // samples, and never from a script: there every line is final.
    bool sample = false;
};

// Where the editor's answers come from: a person at the GUI or a script. next() blocks
// until the user has given a line (the GUI runs its event loop meanwhile) and answers
// nullopt once no more input will come. Lines are given without their line ending.
class InputSource {
public:
    virtual ~InputSource() = default;
    virtual std::optional<InputLine> next(Request request) = 0;
    std::optional<InputLine> next() { return next(Request::text); }
    // How messages name the source: a script's path, or "input".
    virtual std::wstring name() const = 0;
    // A person answers: a line a prompt cannot take cancels the running command and
    // the session goes on, where a script's run ends with a failure.
    virtual bool interactive() const { return false; }
    // Input the host types on the user's behalf (a menu item's macro): the lines answer
    // the next requests, before any of the source's own, as if typed at the command line
    // now. False when the source takes none.
    virtual bool typeAhead(const std::vector<InputLine>&) { return false; }
};

// A script: one answer a line. Comment lines (";" first) are skipped; a trailing
// carriage return is dropped; text is UTF-8.
class ScriptInput : public InputSource {
public:
    ScriptInput(std::istream& in, std::wstring name) : m_in(in), m_name(std::move(name)) {}
    using InputSource::next;
    std::optional<InputLine> next(Request request) override;
    std::wstring name() const override { return m_name; }

private:
    std::istream& m_in;
    std::wstring m_name;
    int m_number = 0;
};

}  // namespace hosted
