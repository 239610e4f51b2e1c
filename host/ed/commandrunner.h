#pragma once

#include <string_view>

namespace hosted {

enum class CommandOutcome { ran, unknown };

// Runs the registered command named as typed (local or global name, any case). The
// handler runs guarded: anything it throws is reported on the command line and goes
// no further.
CommandOutcome runCommand(std::wstring_view typedName);

}  // namespace hosted
