#include "app/scriptrunner.h"

#include "ap/docmanager.h"
#include "app/scriptverbs.h"
#include "ed/commandline.h"
#include "ed/commandrunner.h"
#include "ed/editor.h"
#include "ed/userio.h"

namespace hostapp {

namespace {

std::wstring where(const hosted::InputSource& input, const hosted::InputLine& line) {
    return input.name() + L":" + std::to_wstring(line.number) + L": ";
}

}  // namespace

ExitStatus runCommandLine(hosted::InputSource& input, std::wstring& message) {
    hosted::Editor& editor = hosted::Editor::instance();
    hosted::CommandLine& commandLine = hosted::CommandLine::instance();
    editor.setInput(&input);
    editor.clearFailure();
    // The input lives no longer than this run; later prompts find none.
    struct Detach {
        hosted::Editor& editor;
        ~Detach() { editor.setInput(nullptr); }
    } detach{editor};
    // A person's mistakes are said on the command line and the session goes on; a
    // script's end the run with a status.
    const auto stop = [&](const hosted::InputLine& line, std::wstring why, ExitStatus rc) {
        if (!input.interactive()) {
            message = where(input, line) + why;
            return rc;
        }
        commandLine.print(L"\n" + why + L".");
        return ExitStatus::done;
    };
    ExitStatus rc = ExitStatus::done;
    while (rc == ExitStatus::done) {
        commandLine.print(L"\nCommand: ");
        const auto line = input.next(hosted::Request::command);
        if (!line) break;
        const std::wstring text(hosted::trimmed(line->text));
        // A file action is the script's, not typed input: what it causes shows, not itself.
        if (!text.starts_with(L"@")) commandLine.print(line->text);
        if (text.empty()) continue;
        if (hosted::Editor::isCancel(*line)) {
            commandLine.print(L"\n*Cancel*");
            continue;
        }
        if (text.front() == L'@') {
            std::wstring why;
            if (const ExitStatus failed = runFileLine(text, why); failed != ExitStatus::done) rc = stop(*line, why, failed);
            acedUpdateDisplay();
            continue;
        }
        const hosted::CommandOutcome outcome = hosted::runCommand(text);
        if (outcome == hosted::CommandOutcome::unknown) {
            rc = stop(*line, L"unknown command \"" + text + L"\"", ExitStatus::notACommand);
            continue;
        }
        acedUpdateDisplay();
        if (editor.failed()) {
            if (!input.interactive()) {
                message = editor.failure();
                return ExitStatus::inputRefused;
            }
            editor.clearFailure();
            commandLine.print(L"\n*Cancel*");
        }
    }
    if (rc != ExitStatus::done) return rc;
    // A script can fail outside any prompt too (a "@ui" line that cannot act).
    if (editor.failed() && !input.interactive()) {
        message = editor.failure();
        return ExitStatus::inputRefused;
    }
    commandLine.print(L"\n");
    return ExitStatus::done;
}

}  // namespace hostapp
