#pragma once

// Puts the module's pull-down menu "Marvolt" into the host's menu bar, through the host's
// automation model, unless the host's own menu group has one of that name already.
// Every step that fails says so on the command line (or, for an automation error, ends
// silently) and ends the installation; nothing escapes, and every object obtained is
// released on every path. The module never removes the menu: it stays after an unload.
void installMarvoltMenu();
