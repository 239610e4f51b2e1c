#include "palette/palettecommands.h"

// The palette window comes with the palette shell; until then the commands have
// nothing to show and unload has nothing to destroy.
void marvoltShowPalette() {}
void marvoltTogglePalette() {}
void destroyPalette() {}
