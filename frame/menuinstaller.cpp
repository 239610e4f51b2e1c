#include "frame/menuinstaller.h"

// The pull-down menu comes with the host's automation model; until then there is no
// menu bar to put it in.
bool installMarvoltMenu() { return false; }
