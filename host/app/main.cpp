// marvolt-host: the stand-in host. It opens a drawing as the current document, loads the
// module, runs command-line input (a script, or standard input) and saves.

#include "ap/docmanager.h"
#include "app/builtins.h"
#include "app/exitstatus.h"
#include "app/scriptrunner.h"
#include "dxf/dxffiler.h"
#include "ed/commandline.h"
#include "ed/inputsource.h"
#include "rx/moduleloader.h"
#include "rx/utf8.h"

#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

namespace {

struct Options {
    std::optional<std::string> open, script, save, module;
};

void usage() {
    std::cerr << "usage: marvolt-host [--open DRAWING] [--script FILE|-] [--save PATH] [--module PATH|none]\n";
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::optional<std::string>& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        bool ok = false;
        if (a == "--open") ok = value(o.open);
        else if (a == "--script") ok = value(o.script);
        else if (a == "--save") ok = value(o.save);
        else if (a == "--module") ok = value(o.module);
        if (!ok) {
            std::cerr << "marvolt-host: unknown or incomplete option \"" << a << "\"\n";
            return false;
        }
    }
    return true;
}

using hostapp::ExitStatus;

int fail(const std::wstring& message, ExitStatus status) {
    std::cout.flush();
    std::cerr << "marvolt-host: " << hostrx::wideToUtf8(message) << "\n";
    return hostapp::exitCode(status);
}

// The module beside the program unless named; "none" runs the host alone.
std::optional<std::string> modulePath(const Options& o) {
    if (o.module) return *o.module == "none" ? std::nullopt : o.module;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto beside = exe.parent_path() / "marvolt.so";
    return !ec && std::filesystem::exists(beside) ? std::optional(beside.string()) : std::nullopt;
}

ExitStatus runInput(const Options& o, std::wstring& message) {
    if (!o.script || *o.script == "-") {
        hosted::ScriptInput input(std::cin, L"input");
        return hostapp::runCommandLine(input, message);
    }
    // A folder opens as a stream that reads nothing; it must not pass for an empty script.
    std::error_code ec;
    std::ifstream file(*o.script);
    if (!file || std::filesystem::is_directory(*o.script, ec)) {
        message = L"cannot read script " + hostrx::utf8ToWide(*o.script);
        return ExitStatus::fileFailed;
    }
    hosted::ScriptInput input(file, hostrx::utf8ToWide(*o.script));
    return hostapp::runCommandLine(input, message);
}

int run(const Options& o) {
    std::wstring message;
    if (const ExitStatus rc = hostapp::openDrawing(o.open ? hostrx::utf8ToWide(*o.open) : L"", message);
        rc != ExitStatus::done)
        return fail(message, rc);
    for (const auto& r : curDoc()->database()->readReport().repairs)
        std::cout << "Repaired: " << hostrx::wideToUtf8(r) << "\n";
    hostrx::ModuleLoader loader;
    hostapp::registerBuiltinCommands(loader);
    if (const auto path = modulePath(o); path && !loader.load(*path, message))
        return fail(message, ExitStatus::badStart);
    ExitStatus rc = runInput(o, message);
    if (rc == ExitStatus::done && o.save) rc = hostapp::saveDrawing(hostrx::utf8ToWide(*o.save), message);
    std::wstring ignored;
    if (loader.isLoaded()) loader.unload(ignored);
    hostapp::removeBuiltinCommands();
    acDocManager->closeAll();
    return rc == ExitStatus::done ? 0 : fail(message, rc);
}

}  // namespace

int main(int argc, char** argv) {
    // The window toolkit takes the locale from the environment as it starts; take it
    // now as well, so that every run meets the numbers the way a windowed one does.
    std::setlocale(LC_ALL, "");
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return hostapp::exitCode(ExitStatus::badStart);
    }
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    hosted::CommandLine::instance().setListener([](std::wstring_view text) {
        std::cout << hostrx::wideToUtf8(text);
    });
    try {
        const int rc = run(o);
        std::cout.flush();
        return rc;
    } catch (const std::exception& e) {
        return fail(hostrx::utf8ToWide(e.what()), ExitStatus::badStart);
    }
}
