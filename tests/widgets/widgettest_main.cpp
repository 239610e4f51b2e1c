// Widget tests run real Qt widgets on the offscreen platform, in one application object.
#include <QApplication>

#include <gtest/gtest.h>

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
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    g_standardHandler = qInstallMessageHandler(quietOffscreenNotes);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
