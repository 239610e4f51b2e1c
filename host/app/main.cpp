// marvolt-host: the stand-in host. It opens a drawing as the current document in its
// main window, loads the module, takes command-line input (a person at the window, or a
// script run in the same windows off the display) and saves.

#include "ap/docmanager.h"
#include "app/builtins.h"
#include "app/documentfiles.h"
#include "app/exitstatus.h"
#include "app/guiinput.h"
#include "app/mainwindow.h"
#include "app/scriptrunner.h"
#include "app/uiscript.h"
#include "app/windowedscript.h"
#include "dxf/dxffiler.h"
#include "dxf/previewmaker.h"
#include "ed/commandline.h"
#include "ed/inputsource.h"
#include "ed/userio.h"
#include "rx/moduleloader.h"
#include "rx/utf8.h"
#include "ui/framework/frame.h"
#include "ui/framework/modal.h"
#include "ui/render/drawingview.h"
#include "ui/render/previewimage.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <QMessageBox>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using hostapp::ExitStatus;

struct Options {
    std::optional<std::string> script, save, module;
    std::vector<std::string> drawings;  // opened in order; the last one is current
    bool show = false;
};

enum class Parsed { run, answered, wrong };

// Answers --help and --version itself; a wrong option is said on stderr with the usage.
Parsed parse(int argc, char** argv, Options& o) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Marvolt: block libraries and drawing properties, in their host."));
    // Qt's own help option also offers Qt's options, which this program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version."));
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Open DRAWING before the drawings listed."),
                                  QStringLiteral("DRAWING"));
    const QCommandLineOption script(QStringLiteral("script"),
                                    QStringLiteral("Run the commands in FILE (- reads stdin) off screen."),
                                    QStringLiteral("FILE|-"));
    const QCommandLineOption save(QStringLiteral("save"), QStringLiteral("Save the current drawing as PATH after the script."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption module(QStringLiteral("module"), QStringLiteral("Load PATH, not marvolt.so; none loads no module."),
                                    QStringLiteral("PATH|none"));
    const QCommandLineOption show(QStringLiteral("show"), QStringLiteral("Show the windows while a script runs."));
    parser.addOptions({help, version, open, script, save, module, show});
    parser.addPositionalArgument(QStringLiteral("drawings"), QStringLiteral("Drawings to open, in order; the last is current."),
                                 QStringLiteral("[DRAWING...]"));
    // Without an application object Qt cannot name the program in the usage line.
    const auto usage = [&] {
        return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("marvolt-host")).toStdString();
    };
    if (!parser.parse(arguments)) {
        std::cerr << "marvolt-host: " << parser.errorText().toStdString() << "\n" << usage();
        return Parsed::wrong;
    }
    if (parser.isSet(help)) {
        std::cout << usage();
        return Parsed::answered;
    }
    if (parser.isSet(version)) {
        std::cout << "marvolt-host " MARVOLT_VERSION "\n";
        return Parsed::answered;
    }
    const auto value = [&](const QCommandLineOption& option) {
        return parser.isSet(option) ? std::optional(parser.value(option).toStdString()) : std::nullopt;
    };
    o.script = value(script);
    o.save = value(save);
    o.module = value(module);
    o.show = parser.isSet(show);
    for (const QString& d : parser.values(open) + parser.positionalArguments()) o.drawings.push_back(d.toStdString());
    return Parsed::run;
}

int fail(const std::wstring& message, ExitStatus status) {
    std::cout.flush();
    std::cerr << "marvolt-host: " << hostrx::wideToUtf8(message) << "\n";
    return hostapp::exitCode(status);
}

// The module beside the program (as built), else where the install puts it relative to
// the program, so an installed copy runs wherever it was installed to; unless named;
// "none" runs the host alone.
std::optional<std::string> modulePath(const Options& o) {
    if (o.module) return *o.module == "none" ? std::nullopt : o.module;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    for (const auto& folder : {exe.parent_path(), exe.parent_path() / MARVOLT_MODULE_DIR}) {
        const auto path = (folder / "marvolt.so").lexically_normal();
        if (std::filesystem::exists(path, ec)) return path.string();
    }
    return std::nullopt;
}

ExitStatus runScript(hosted::InputSource& lines, std::wstring& message) {
    hostapp::UiScript input(lines);
    return hostapp::runCommandLine(input, message);
}

ExitStatus runInput(const Options& o, hostapp::MainWindow& window, std::wstring& message) {
    if (!o.script) {
        hostapp::GuiInput input(window);
        return hostapp::runCommandLine(input, message);
    }
    if (*o.script == "-") {
        hostapp::WindowedScript lines(std::cin, L"input");
        return runScript(lines, message);
    }
    // A folder opens as a stream that reads nothing; it must not pass for an empty script.
    std::error_code ec;
    std::ifstream file(*o.script);
    if (!file || std::filesystem::is_directory(*o.script, ec)) {
        message = L"cannot read script " + hostrx::utf8ToWide(*o.script);
        return ExitStatus::fileFailed;
    }
    hostapp::WindowedScript lines(file, hostrx::utf8ToWide(*o.script));
    return runScript(lines, message);
}

// Qt's own notes (a missing runtime folder, what the offscreen platform cannot do) are
// no part of a script's output; its errors still are.
void scriptMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
}

// With a person at the window a failure is also shown there, not only on stderr.
int failShown(const Options& o, const std::wstring& message, ExitStatus status) {
    if (!o.script) QMessageBox::critical(nullptr, QStringLiteral("Marvolt Host"), QString::fromStdWString(message));
    return fail(message, status);
}

void alertInABox(const ACHAR* message) {
    hostui::modalDriver().messageBox(hostui::applicationName(), message, MB_OK);
}

// The window framework reaches the main window, and alerts become boxes, while it lives.
class FrameRegistration {
public:
    explicit FrameRegistration(hostapp::MainWindow& window) {
        hostui::setMainFrame(&window, window.view());
        hosted::setAlertHandler(&alertInABox);
    }
    ~FrameRegistration() {
        hosted::setAlertHandler(nullptr);
        hostui::setMainFrame(nullptr, nullptr);
    }
    FrameRegistration(const FrameRegistration&) = delete;
    FrameRegistration& operator=(const FrameRegistration&) = delete;
};

// Without a drawing named the host starts on a new one.
ExitStatus openDrawings(const std::vector<std::string>& drawings, std::wstring& message) {
    const std::vector<std::string> paths = drawings.empty() ? std::vector<std::string>{""} : drawings;
    for (const auto& path : paths) {
        if (const ExitStatus rc = hostapp::openDrawing(hostrx::utf8ToWide(path), message); rc != ExitStatus::done) return rc;
    }
    return ExitStatus::done;
}

int run(const Options& o) {
    std::wstring message;
    auto window = std::make_unique<hostapp::MainWindow>();
    auto registration = std::make_unique<FrameRegistration>(*window);
    window->setInteractive(!o.script);
    // A script's transcript is its output, exactly as without windows.
    if (o.script) window->setEcho([](std::wstring_view text) { std::cout << hostrx::wideToUtf8(text); });
    if (const ExitStatus rc = openDrawings(o.drawings, message); rc != ExitStatus::done) return failShown(o, message, rc);
    window->refresh();
    window->show();
    hostrx::ModuleLoader loader;
    hostapp::registerBuiltinCommands(loader);
    if (const auto path = modulePath(o); path && !loader.load(*path, message))
        return failShown(o, message, ExitStatus::badStart);
    ExitStatus rc = runInput(o, *window, message);
    if (rc == ExitStatus::done && o.save) rc = hostapp::saveDrawing(hostrx::utf8ToWide(*o.save), message);
    std::wstring ignored;
    if (loader.isLoaded()) loader.unload(ignored);
    hostapp::removeBuiltinCommands();
    // The window shows the documents: it goes first.
    registration.reset();
    window.reset();
    acDocManager->closeAll();
    return rc == ExitStatus::done ? 0 : fail(message, rc);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    switch (parse(argc, argv, o)) {
        case Parsed::run: break;
        case Parsed::answered: return hostapp::exitCode(ExitStatus::done);
        case Parsed::wrong: return hostapp::exitCode(ExitStatus::badStart);
    }
    // A script runs in windows nobody sees unless --show asks for them.
    if (o.script && !o.show) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::cerr << "marvolt-host: no display to open the window on; run a script with --script FILE, "
                     "or --script - to type commands here\n";
        return hostapp::exitCode(ExitStatus::badStart);
    }
    if (o.script) qInstallMessageHandler(&scriptMessages);
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    // Drawings saved here carry a preview drawn by the view's renderer.
    hostdxf::setDrawingPreviewMaker(&hostui::drawingPreviewBytes);
    try {
        // Qt takes the user's locale for the whole process as it starts; the host reads
        // and writes numbers the same under every locale, so it is left as Qt sets it.
        QApplication app(argc, argv);
        // The desktop entry's name: window managers match the windows to it (icon, menu entry).
        QGuiApplication::setDesktopFileName(QStringLiteral("marvolt-host"));
        const int rc = run(o);
        std::cout.flush();
        return rc;
    } catch (const std::exception& e) {
        return fail(hostrx::utf8ToWide(e.what()), ExitStatus::badStart);
    }
}
