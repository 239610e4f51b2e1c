#include "ge/extents.h"
#include "ge/line3d.h"
#include "ge/matrix3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

void expectNear(const AcGePoint3d& a, const AcGePoint3d& b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
    EXPECT_NEAR(a.z, b.z, 1e-9);
}

struct MirrorCase {
    const char* name;
    AcGePoint3d lineFrom, lineTo, point, expected;
};

// Mirroring about a line is a half-turn: P goes to 2Q - P, Q its projection on the line.
TEST(Geometry, MirroringAboutALineIsAHalfTurn) {
    const MirrorCase cases[] = {
        {"x axis through y=1", {0, 1, 0}, {10, 1, 0}, {3, 2, 0}, {3, 0, 0}},
        {"y axis through x=5", {5, 0, 0}, {5, 2, 0}, {0, 0, 0}, {10, 0, 0}},
        {"plane normal reverses", {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, -1}},
        {"point on the line stays", {0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {2, 2, 0}},
        {"slanted 3D line", {0, 0, 0}, {1, 0, 1}, {0, 0, 2}, {2, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AcGeMatrix3d m = AcGeMatrix3d::mirroring(AcGeLine3d(c.lineFrom, c.lineTo));
        expectNear(m * c.point, c.expected);
        EXPECT_NEAR(m.det(), 1.0, 1e-12);  // a half-turn keeps handedness
    }
}

TEST(Geometry, ScalingAndRotationAboutAPoint) {
    expectNear(AcGeMatrix3d::scaling(2.0, {1, 1, 0}) * AcGePoint3d(2, 1, 0), {3, 1, 0});
    const AcGeMatrix3d r = AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kZAxis, {1, 0, 0});
    expectNear(r * AcGePoint3d(2, 0, 0), {1, 1, 0});
    expectNear(r * AcGePoint3d(1, 0, 5), {1, 0, 5});
}

struct UniformCase {
    const char* name;
    AcGeMatrix3d matrix;
    bool uniform;
};

AcGeMatrix3d diagonal(double x, double y, double z) {
    AcGeMatrix3d m;
    m(0, 0) = x;
    m(1, 1) = y;
    m(2, 2) = z;
    return m;
}

TEST(Geometry, UniformlyScaledOrthogonalTest) {
    AcGeMatrix3d shear;
    shear(0, 1) = 0.5;
    const UniformCase cases[] = {
        {"identity", AcGeMatrix3d(), true},
        {"uniform scale", AcGeMatrix3d::scaling(3.0), true},
        {"rotation and scale", AcGeMatrix3d::rotation(0.3, {1, 2, 3}) * AcGeMatrix3d::scaling(2.0), true},
        {"mirror", diagonal(-1, 1, 1), true},
        {"scale 1,2,3", diagonal(1, 2, 3), false},
        {"shear", shear, false},
        {"collapsed", diagonal(0, 0, 0), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.matrix.isUniScaledOrtho(), c.uniform);
    }
}

TEST(Geometry, InverseUndoesTheTransform) {
    const AcGeMatrix3d m = AcGeMatrix3d::rotation(0.7, {0, 1, 1}, {1, 2, 3}) * AcGeMatrix3d::scaling(2.5, {4, 0, 0});
    expectNear(m.inverse() * (m * AcGePoint3d(7, -3, 2)), {7, -3, 2});
}

TEST(Geometry, ExtentsStartEmptyAndGrow) {
    AcDbExtents e;
    EXPECT_FALSE(e.isValid());
    e.addPoint({1, 2, 3});
    e.addPoint({-1, 5, 0});
    EXPECT_TRUE(e.isValid());
    expectNear(e.minPoint(), {-1, 2, 0});
    expectNear(e.maxPoint(), {1, 5, 3});
}

}  // namespace
