// The widget tests run on Qt's offscreen platform, under one application object.

#include "dxf/dxffiler.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    return RUN_ALL_TESTS();
}
