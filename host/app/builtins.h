#pragma once

namespace hostrx {
class ModuleLoader;
}

namespace hostapp {

// The host's own commands (group "HOST"): CLAYER sets the current layer by name,
// REGEN evaluates every field again and redraws the view, UNLOADMODULE unloads the
// loaded module and LOADMODULE loads it again; and the editing commands (undocommands.h).
void registerBuiltinCommands(hostrx::ModuleLoader& loader);
void removeBuiltinCommands();

}  // namespace hostapp
