#pragma once

namespace hostrx {
class ModuleLoader;
}

namespace hostapp {

// The host's own commands (group "HOST"): CLAYER sets the current layer by name and
// UNLOADMODULE unloads the loaded module.
void registerBuiltinCommands(hostrx::ModuleLoader& loader);
void removeBuiltinCommands();

}  // namespace hostapp
