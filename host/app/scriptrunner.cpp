#include "app/scriptrunner.h"

#include "ap/docmanager.h"
#include "ed/commandline.h"
#include "ed/commandrunner.h"
#include "ed/editor.h"


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

ExitStatus saveDrawing(const std::wstring& path, std::wstring& message) {
    AcApDocument* doc = curDoc();
    const std::wstring target = path.empty() && doc ? std::wstring(doc->fileName()) : path;
    if (!doc || target.empty()) {
        message = L"nothing to save, or no file name to save under";
        return ExitStatus::fileFailed;
    }
    if (const Acad::ErrorStatus es = doc->database()->saveAs(target.c_str()); es != Acad::eOk) {
        message = L"cannot save " + target + L" [" + acadErrorStatusText(es) + L"]";
        return ExitStatus::fileFailed;
    }
    doc->setFileName(target);
    return ExitStatus::done;
}

ExitStatus runCommandLine(hosted::InputSource& input, std::wstring& message) {
    hosted::Editor& editor = hosted::Editor::instance();
    hosted::CommandLine& commandLine = hosted::CommandLine::instance();
    editor.setInput(&input);
    editor.clearFailure();
    while (true) {
        commandLine.print(L"\nCommand: ");
        const auto line = input.next();
        if (!line) break;
        commandLine.print(line->text);
        const std::wstring text(hosted::trimmed(line->text));
        if (text.empty()) continue;
        if (hosted::Editor::isCancel(*line)) {
            commandLine.print(L"\n*Cancel*");
            continue;
        }
        if (text.front() == L'@') {
            if (const ExitStatus rc = fileAction(text, message); rc != ExitStatus::done) {
                message = where(input, *line) + message;
                return rc;
            }
            continue;
        }
        if (hosted::runCommand(text) == hosted::CommandOutcome::unknown) {
            message = where(input, *line) + L"unknown command \"" + text + L"\"";
            return ExitStatus::notACommand;
        }
        if (editor.failed()) {
            message = editor.failure();
            return ExitStatus::inputRefused;
        }
    }
    commandLine.print(L"\n");
    return ExitStatus::done;
}

}  // namespace hostapp
