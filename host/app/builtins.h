#pragma once

namespace hostrx {
class ModuleLoader;
}

namespace hostapp {

// The host's own commands (group "HOST"): CLAYER sets the current layer by name,
// REGEN evaluates every field again and redraws the view, and UNLOADMODULE unloads the
// loaded module.
void registerBuiltinCommands(hostrx::ModuleLoader& loader);
void removeBuiltinCommands();

}  // namespace hostapp
