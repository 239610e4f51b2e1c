#pragma once

// Damaged copies of a sound drawing file, one per kind of damage that real files show,
// for the tests of the recovering read. Each kind says what the read's report names.

#include <string>
#include <vector>

namespace damage {

struct Kind {
    const char* name;
    // The damaged file made from the sound one.
    std::string (*make)(const std::string& sound);
    // Words of the repair line that this damage gives.
    const char* repair;
};

// Every kind, in a fixed order. They expect an ezdxf drawing of the 2018 release with
// a header, tables, blocks, at least one LINE and two TEXTs in model space, as
// samples/annotations.dwg.
const std::vector<Kind>& kinds();

}  // namespace damage
