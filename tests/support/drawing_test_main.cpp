// The main of the test programs that read and save drawings: like GoogleTest's own, but
// first hands the database the host's drawing filer, as marvolt-host does at start-up.

#include "dxf/dxffiler.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    return RUN_ALL_TESTS();
}
