// marvolt-host: the stand-in host. It opens a drawing as the current document, loads the
// module, runs command-line input (a script, or standard input) and saves.

#include "ap/docmanager.h"
#include "app/builtins.h"
#include "app/scriptrunner.h"
#include "dxf/textcodec.h"
#include "ed/commandline.h"
#include "ed/inputsource.h"
#include "rx/moduleloader.h"

#include <unistd.h>

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

int fail(const std::wstring& message, int status) {
    std::cout.flush();
    std::cerr << "marvolt-host: " << hostdxf::wideToUtf8(message) << "\n";
    return status;
}

// The module beside the program unless named; "none" runs the host alone.
std::optional<std::string> modulePath(const Options& o) {
    if (o.module) return *o.module == "none" ? std::nullopt : o.module;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto beside = exe.parent_path() / "marvolt.so";
    return !ec && std::filesystem::exists(beside) ? std::optional(beside.string()) : std::nullopt;
}

int runInput(const Options& o, std::wstring& message) {
    if (!o.script || *o.script == "-") {
        hosted::ScriptInput input(std::cin, L"input");
        return hostapp::runCommandLine(input, message);
    }
    std::ifstream file(*o.script);
    if (!file) {
        message = L"cannot read script " + hostdxf::utf8ToWide(*o.script);
        return 2;
    }
    hosted::ScriptInput input(file, hostdxf::utf8ToWide(*o.script));
    return hostapp::runCommandLine(input, message);
}

int run(const Options& o) {
    std::wstring message;
    if (const int rc = hostapp::openDrawing(o.open ? hostdxf::utf8ToWide(*o.open) : L"", message); rc != 0)
        return fail(message, 1);
    for (const auto& r : curDoc()->database()->readReport().repairs)
        std::cout << "Repaired: " << hostdxf::wideToUtf8(r) << "\n";
    hostrx::ModuleLoader loader;
    hostapp::registerBuiltinCommands(loader);
    if (const auto path = modulePath(o); path && !loader.load(*path, message)) return fail(message, 1);
    int rc = runInput(o, message);
    if (rc == 0 && o.save) rc = hostapp::saveDrawing(hostdxf::utf8ToWide(*o.save), message);
    std::wstring ignored;
    if (loader.isLoaded()) loader.unload(ignored);
    hostapp::removeBuiltinCommands();
    acDocManager->closeAll();
    return rc == 0 ? 0 : fail(message, rc);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    hosted::CommandLine::instance().setListener([](std::wstring_view text) {
        std::cout << hostdxf::wideToUtf8(text);
    });
    try {
        const int rc = run(o);
        std::cout.flush();
        return rc;
    } catch (const std::exception& e) {
        return fail(hostdxf::utf8ToWide(e.what()), 1);
    }
}
