#include "detail/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quarrow {
namespace {

TEST(Vector3Test, ArbitraryAxesMapOcsPointsToWorld) {
    struct Case {
        const char* name;
        Vector3 n;
        Vector3 ax, ay;
        Vector3 ocs, world;
    };
    // The mirrored plane every CAD program writes, a side plane, the exact 1/64 boundary,
    // an unnormalised extrusion and the degenerate zero extrusion.
    // clang-format off
    const Case cases[] = {
        {"mirrored", {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {5, 2, 3}, {-5, 2, -3}},
        {"x_axis", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}, {3, 1, 2}},
        {"double_length", {0, 0, 2}, {1, 0, 0}, {0, 1, 0}, {1, 2, 3}, {1, 2, 6}},
        {"zero", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 2, 3}, {0, 0, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Vector3 ax, ay;
        ArbitraryAxes(c.n, ax, ay);
        EXPECT_EQ(ax, c.ax);
        EXPECT_EQ(ay, c.ay);
        Vector3 p = c.ocs;
        OcsToWcs(p, ax, ay, c.n);
        EXPECT_EQ(p, c.world);
    }
}

TEST(Vector3Test, ExactlyOneSixtyFourthUsesTheWorldZAxis) {
    const Vector3 n{0.015625, 0, 0.99988};
    Vector3 ax, ay;
    ArbitraryAxes(n, ax, ay);
    // Wz x N = (0, 0.015625, 0) normalised: the Wy branch would give a vector along X.
    EXPECT_EQ(ax, (Vector3{0, 1, 0}));
    const Vector3 below{0.015624, 0, 0.99988};
    ArbitraryAxes(below, ax, ay);
    EXPECT_GT(ax.X, 0.99) << "just below 1/64 takes Wy x N";
}

TEST(Vector3Test, TransformIsInactiveOnlyForExactlyZUp) {
    EXPECT_FALSE(OcsTransform({0, 0, 1}).Active());
    EXPECT_TRUE(OcsTransform({0, 0, 1.0000000001}).Active());
    // No direction at all reads as the world's Z axis.
    EXPECT_FALSE(OcsTransform({0, 0, 0}).Active());
    EXPECT_FALSE(OcsTransform({0, 0, std::nan("")}).Active());
    EXPECT_FALSE(OcsTransform({0, 0, 5}).Active());
    Vector3 p{4, 5, 6};
    OcsTransform({0, 0, -1}).Apply(p);
    EXPECT_EQ(p, (Vector3{-4, 5, -6}));
    Vector3 v{0, 0, 0};
    Normalize(v);
    EXPECT_EQ(v, (Vector3{0, 0, 0})) << "zero length stays unchanged";
}

TEST(Vector3Test, ExtrusionsAreTakenAtUnitLength) {
    const struct {
        Vector3 n, expected;
        // clang-format off
    } cases[] = {
        // clang-format on
        {{0, 0, -2}, {0, 0, -1}},
        {{0, 3, 4}, {0, 0.6, 0.8}},
        {{0, 0, 1e-300}, {0, 0, 1}},
        {{1e300, 0, 0}, {1, 0, 0}},
        {{0, 0, std::numeric_limits<double>::infinity()}, {0, 0, 1}},
        {{0, 0, 0}, {0, 0, 1}},
        // As files write unit directions: kept to the bit.
        {{0.6, 0, 0.8}, {0.6, 0, 0.8}},
        {{0.015625, 0, 0.99988}, {0.0156249675389683, 0, 0.999877922743275}},  // 1e-4 short
        {{0, 0, 1.0000000001}, {0, 0, 1.0000000001}},
    };
    for (const auto& c : cases) {
        const Vector3 u = UnitExtrusion(c.n);
        EXPECT_NEAR(u.X, c.expected.X, 1e-15);
        EXPECT_NEAR(u.Y, c.expected.Y, 1e-15);
        EXPECT_NEAR(u.Z, c.expected.Z, 1e-15);
    }
    EXPECT_EQ(UnitExtrusion({0.6, 0, 0.8}), (Vector3{0.6, 0, 0.8}));
    // (0, 0, -2) maps like (0, 0, -1): no scaling of Z.
    Vector3 p{4, 5, 6};
    OcsTransform({0, 0, -2}).Apply(p);
    EXPECT_EQ(p, (Vector3{-4, 5, -6}));
}

}  // namespace
}  // namespace quarrow
