#include "commands/commands.h"

// Built with the drawing commands that follow; registered already so that the
// command table is whole.
void zelPurgeGroups() {}
