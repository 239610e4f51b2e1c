#include "app/scriptrunner.h"

#include "ap/docmanager.h"
#include "ed/commandline.h"
#include "ed/commandrunner.h"
#include "ed/editor.h"
#include "ed/userio.h"

namespace hostapp {

namespace {

std::wstring where(const hosted::InputSource& input, const hosted::InputLine& line) {
    return input.name() + L":" + std::to_wstring(line.number) + L": ";
}

// "@open PATH", "@save [PATH]".
ExitStatus fileAction(const std::wstring& text, std::wstring& message) {
    const auto gap = text.find_first_of(L" \t");
    const std::wstring verb = text.substr(0, gap);
    const std::wstring arg(gap == std::wstring::npos ? L"" : hosted::trimmed(std::wstring_view(text).substr(gap)));
    if (verb == L"@open" && !arg.empty()) return openDrawing(arg, message);
    if (verb == L"@save") return saveDrawing(arg, message);
    message = L"\"" + text + L"\" is not a file action (@open PATH or @save [PATH])";
    return ExitStatus::notACommand;
}

}  // namespace

ExitStatus openDrawing(const std::wstring& path, std::wstring& message) {
    AcApDocument* doc = nullptr;
    std::wstring why;
    const Acad::ErrorStatus es = acDocManager->openDocument(path, doc, why);
    if (es == Acad::eOk) return ExitStatus::done;
    message = L"cannot open " + path + L": " + (why.empty() ? std::wstring(acadErrorStatusText(es)) : why);
    return ExitStatus::fileFailed;
}

ExitStatus saveDocument(AcApDocument& doc, const std::wstring& path, std::wstring& message) {
    const std::wstring target = path.empty() ? std::wstring(doc.fileName()) : path;
    if (target.empty()) {
        message = L"nothing to save, or no file name to save under";
        return ExitStatus::fileFailed;
    }
    if (const Acad::ErrorStatus es = doc.database()->saveAs(target.c_str()); es != Acad::eOk) {
        message = L"cannot save " + target + L" [" + acadErrorStatusText(es) + L"]";
        return ExitStatus::fileFailed;
    }
    doc.setFileName(target);
    doc.setModified(false);
    return ExitStatus::done;
}

ExitStatus saveDrawing(const std::wstring& path, std::wstring& message) {
    if (AcApDocument* doc = curDoc()) return saveDocument(*doc, path, message);
    message = L"nothing to save, or no file name to save under";
    return ExitStatus::fileFailed;
}

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
            if (const ExitStatus failed = fileAction(text, why); failed != ExitStatus::done) rc = stop(*line, why, failed);
            acedUpdateDisplay();
            continue;
        }
        AcApDocument* doc = curDoc();
        const hosted::CommandOutcome outcome = hosted::runCommand(text);
        if (outcome == hosted::CommandOutcome::unknown) {
            rc = stop(*line, L"unknown command \"" + text + L"\"", ExitStatus::notACommand);
            continue;
        }
        if (outcome == hosted::CommandOutcome::ran && doc && acDocManager->curDocument() == doc) doc->setModified(true);
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
