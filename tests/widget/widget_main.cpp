// GoogleTest on Qt's offscreen platform: the widgets need one QApplication for the run.
#include "dxf/dxffiler.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

QtMessageHandler g_standardHandler = nullptr;

// The offscreen platform says at every window that it cannot do what only a display
// does (size hints, raising); that says nothing about the code under test.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("This plugin does not support")) return;
    if (g_standardHandler) g_standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    g_standardHandler = qInstallMessageHandler(quietOffscreenNotes);
    // Also when CTest lists the tests, which it does without the tests' environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    return RUN_ALL_TESTS();
}
