#include "entry/commandtable.h"

#include "commands/commands.h"
#include "frame/commandlineprinter.h"
#include "palette/palettecommands.h"

#include <exception>

namespace {

// Nothing a command throws may reach the host: it is reported and the command ends.
template <void (*Command)()>
void guarded() {
    try {
        Command();
    } catch (const std::exception& e) {
        printToCommandLine(L"\nError: %hs", e.what());
    } catch (...) {
        printToCommandLine(L"\nError: the command failed");
    }
}

template <void (*Command)()>
constexpr CommandEntry entry(const ACHAR* global, const ACHAR* local, Adesk::Int32 flags) {
    return {kCommandGroup, global, local, flags, &guarded<Command>, nullptr};
}

constexpr std::array<CommandEntry, 11> kCommands = {
    entry<marvoltShowPalette>(L"_marvolt", L"marvolt", ACRX_CMD_SESSION),
    entry<marvoltTogglePalette>(L"_marvolthide", L"marvolthide", ACRX_CMD_SESSION),
    entry<zelPurgeGroups>(L"_zelPurgeGroups", L"zelPurgeGroups", ACRX_CMD_TRANSPARENT),
    entry<zelBurst>(L"_zelBurst", L"zelBurst", ACRX_CMD_TRANSPARENT),
    entry<texttoclayer>(L"_texttoclayer", L"texttoclayer", ACRX_CMD_TRANSPARENT),
    entry<dimtoclayer>(L"_dimtoclayer", L"dimtoclayer", ACRX_CMD_TRANSPARENT),
    entry<inserttoclayer>(L"_inserttoclayer", L"inserttoclayer", ACRX_CMD_TRANSPARENT),
    entry<zelncopy>(L"_zelncopy", L"zelncopy", ACRX_CMD_TRANSPARENT),
    entry<flipx>(L"_flipx", L"flipx", ACRX_CMD_TRANSPARENT),
    entry<flipy>(L"_flipy", L"flipy", ACRX_CMD_TRANSPARENT),
    entry<zelblockicon>(L"_zelblockicon", L"zelblockicon", ACRX_CMD_TRANSPARENT),
};

}  // namespace

const std::array<CommandEntry, 11>& commandTable() { return kCommands; }
