#pragma once

namespace hostapp {

// The host's editing commands (group "HOST"): UNDO takes back a number of steps of the
// current drawing, U one, REDO brings back the last one taken back, each printing the
// step's name; ERASE erases the entities the user selects.
void registerEditCommands();

}  // namespace hostapp
