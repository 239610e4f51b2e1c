// Widget tests run real Qt widgets on the offscreen platform, in one application object.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// The offscreen platform says at every window that it cannot do what only a display
// does (size hints, raising); that says nothing about the code under test.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith("This plugin does not support")) return;
    static const QtMessageHandler standard = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(quietOffscreenNotes);
    if (standard) standard(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(quietOffscreenNotes);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
