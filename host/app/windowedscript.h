#pragma once

#include "ed/inputsource.h"

#include <istream>
#include <string>

namespace hostapp {

// A script run in the main window's presence: before each line is read the windows
// catch up (they paint and show what the last line did), so that a script shown with
// --show can be watched and lines that work the windows find them up to date.
class WindowedScript : public hosted::InputSource {
public:
    WindowedScript(std::istream& in, std::wstring name) : m_script(in, std::move(name)) {}
    using InputSource::next;
    std::optional<hosted::InputLine> next(hosted::Request request) override;
    std::wstring name() const override { return m_script.name(); }

private:
    hosted::ScriptInput m_script;
};

}  // namespace hostapp
