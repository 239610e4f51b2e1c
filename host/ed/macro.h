#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hosted {

// The inputs a command macro types, in order: a blank or ";" ends one input as Enter
// would (so "zelburst " is the command name alone, and ";;" gives an empty input), and
// so does the end of the macro where text remains after the last.
std::vector<std::wstring> macroInputs(std::wstring_view macro);

// Types the macro at the command line of the session under way (the editor's input
// source): its inputs answer the next requests, a command name at "Command: " or the
// answer of a waiting prompt, exactly as typed. False when no session takes input.
bool typeMacro(std::wstring_view macro);

}  // namespace hosted
