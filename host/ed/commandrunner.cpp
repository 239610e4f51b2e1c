#include "ed/commandrunner.h"

#include "rx/utf8.h"
#include "db/undorecord.h"
#include "ed/commandline.h"
#include "rx/commandstack.h"
#include "rx/dictionary.h"
#include "rx/textcase.h"

#include <exception>
#include <string>

namespace hosted {

CommandOutcome runCommand(std::wstring_view typedName) {
    auto* stack = AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK));
    const std::wstring name(typedName);
    const AcEdCommand* command = stack ? stack->lookupCmd(name.c_str()) : nullptr;
    if (!command) return CommandOutcome::unknown;
    const AcRxFunctionPtr handler = command->functionAddr();
    // The command is one step of the drawing it works on, named as users know it.
    AcDbDatabase* db = (command->commandFlags() & ACRX_CMD_NOUNDOMARKER)
                           ? nullptr
                           : acdbHostApplicationServices()->workingDatabase();
    const hostdb::UndoStep step(db, hostrx::upperCased(command->localName()));
    try {
        handler();
    } catch (const std::exception& e) {
        CommandLine::instance().print(L"\n*Error* " + name + L": " + hostrx::utf8ToWide(e.what()));
    } catch (...) {
        CommandLine::instance().print(L"\n*Error* " + name + L": the command failed");
    }
    return (command->commandFlags() & ACRX_CMD_SESSION) ? CommandOutcome::ranInApplication : CommandOutcome::ran;
}

}  // namespace hosted
