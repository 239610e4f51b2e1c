#pragma once

#include <string_view>

namespace hosted {

// A command of the application context (ACRX_CMD_SESSION: windows, palettes) runs
// outside any drawing and changes none; scripts and the window tell it apart so that it
// does not count as an edit of the current drawing.
enum class CommandOutcome { ran, ranInApplication, unknown };

// Runs the registered command named as typed (local or global name, any case). The
// handler runs guarded: anything it throws is reported on the command line and goes
// no further.
CommandOutcome runCommand(std::wstring_view typedName);

}  // namespace hosted
