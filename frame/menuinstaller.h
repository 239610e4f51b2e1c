#pragma once

// Puts the module's pull-down menu into the host's menu bar; false when the host
// offers no menu bar. The outcome changes nothing else.
bool installMarvoltMenu();
