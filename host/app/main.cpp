// marvolt-host: the stand-in host. It opens a drawing as the current document, loads the
// module, runs command-line input (a script, or standard input) and saves.

#include "ap/docmanager.h"
#include "app/builtins.h"
#include "app/scriptrunner.h"
#include "app/uiscript.h"
#include "dxf/textcodec.h"
#include "ed/commandline.h"
#include "ed/inputsource.h"
#include "ed/userio.h"
#include "rx/moduleloader.h"
#include "ui/framework/frame.h"
#include "ui/framework/modal.h"
#include "ui/render/drawingview.h"

#include <QApplication>
#include <QMainWindow>

#include <unistd.h>

#include <cstdlib>
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
    hosted::ScriptInput lines(file, hostdxf::utf8ToWide(*o.script));
    hostapp::UiScript input(lines);
    return hostapp::runCommandLine(input, message);
}

int run(const Options& o) {
    std::wstring message;
    if (const int rc = hostapp::openDrawing(o.open ? hostdxf::utf8ToWide(*o.open) : L"", message); rc != 0)
        return fail(message, 1);
    if (CWnd* view = acedGetAcadDwgView())
        if (auto* drawing = dynamic_cast<hostui::DrawingView*>(view->widget())) drawing->setDatabase(curDoc()->database());
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

QtMessageHandler g_qtMessages = nullptr;

// Without a display Qt notes what the offscreen platform cannot do and where it keeps its
// runtime files; neither is news to the person running a script.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("This plugin does not support") || message.contains("XDG_RUNTIME_DIR")) return;
    if (g_qtMessages) g_qtMessages(type, context, message);
}

void alertInABox(const ACHAR* message) {
    hostui::modalDriver().messageBox(hostui::applicationName(), message, MB_OK);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    // A script runs the same windows off the display.
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (o.script || !display) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    g_qtMessages = qInstallMessageHandler(quietOffscreenNotes);
    QApplication app(argc, argv);
    QMainWindow mainWindow;
    auto* view = new hostui::DrawingView(&mainWindow);
    mainWindow.setCentralWidget(view);
    mainWindow.resize(1280, 800);
    mainWindow.show();
    hostui::setMainFrame(&mainWindow, view);
    hosted::setAlertHandler(&alertInABox);
    hosted::CommandLine::instance().setListener([](std::wstring_view text) {
        std::cout << hostdxf::wideToUtf8(text);
    });
    int rc = 1;
    try {
        rc = run(o);
        std::cout.flush();
    } catch (const std::exception& e) {
        rc = fail(hostdxf::utf8ToWide(e.what()), 1);
    }
    hosted::setAlertHandler(nullptr);
    hostui::setMainFrame(nullptr, nullptr);
    return rc;
}
