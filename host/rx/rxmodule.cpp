#include "rx/rxmodule.h"

#include <cstdlib>

void* odrxAlloc(std::size_t size) { return std::malloc(size); }

void odrxFree(void* block) { std::free(block); }
