#pragma once

#include "frame/hostapi.h"

#include <array>

// One command of the module as the host registers it.
struct CommandEntry {
    const ACHAR* group;
    const ACHAR* globalName;
    const ACHAR* localName;
    Adesk::Int32 flags;
    AcRxFunctionPtr handler;
    AcEdUIContext* uiContext;
};

inline constexpr const ACHAR* kCommandGroup = L"Marvolt";

// The eleven commands in registration order.
const std::array<CommandEntry, 11>& commandTable();
