#pragma once

#include "frame/hostapi.h"
#include "frame/moduleresources.h"

#include <QApplication>
#include <QMainWindow>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

// A main window like the host's, with the module's resources registered and the host's
// settings in a fresh folder, so that every test starts from a host with nothing saved.
class HostWindow {
public:
    HostWindow() {
        m_config = std::filesystem::temp_directory_path() /
                   ("marvolt-widgets-" + std::to_string(::getpid()) + "-" + std::to_string(++s_counter));
        std::filesystem::create_directories(m_config);
        ::setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
        acRegisterResourceModule(&s_libraryToken, &moduleResources());
        setModuleLibrary(&s_libraryToken);
        m_main = std::make_unique<QMainWindow>();
        m_main->setCentralWidget(new QWidget(m_main.get()));
        m_main->resize(1280, 800);
        m_main->move(0, 0);
        m_main->show();
        QApplication::setActiveWindow(m_main.get());
        hostui::setMainFrame(m_main.get(), m_main->centralWidget());
        settle();
    }
    ~HostWindow() {
        hostui::setMainFrame(nullptr, nullptr);
        m_main.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_config, ec);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    QMainWindow& main() { return *m_main; }
    // Lets posted events and layouts run, as the event loop would between inputs.
    static void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

private:
    static inline int s_libraryToken = 0;
    static inline int s_counter = 0;
    std::filesystem::path m_config;
    std::unique_ptr<QMainWindow> m_main;
};
