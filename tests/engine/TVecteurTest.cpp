#include "engine/TVecteur.h"

#include <gtest/gtest.h>

namespace quarrow {
namespace {

TEST(TVecteurTest, ArbitraryAxesMapOcsPointsToWorld) {
    struct Case {
        const char* name;
        TVecteur n;
        TVecteur ax, ay;
        TVecteur ocs, world;
    };
    // The mirrored plane every CAD program writes, a side plane, the exact 1/64 boundary,
    // an unnormalised extrusion and the degenerate zero extrusion.
    const Case cases[] = {
        {"mirrored", {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {5, 2, 3}, {-5, 2, -3}},
        {"x_axis", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}, {3, 1, 2}},
        {"double_length", {0, 0, 2}, {1, 0, 0}, {0, 1, 0}, {1, 2, 3}, {1, 2, 6}},
        {"zero", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 2, 3}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TVecteur ax, ay;
        ArbitraryAxes(c.n, ax, ay);
        EXPECT_EQ(ax, c.ax);
        EXPECT_EQ(ay, c.ay);
        TVecteur p = c.ocs;
        OcsToWcs(p, ax, ay, c.n);
        EXPECT_EQ(p, c.world);
    }
}

TEST(TVecteurTest, ExactlyOneSixtyFourthUsesTheWorldZAxis) {
    const TVecteur n{0.015625, 0, 0.99988};
    TVecteur ax, ay;
    ArbitraryAxes(n, ax, ay);
    // Wz x N = (0, 0.015625, 0) normalised: the Wy branch would give a vector along X.
    EXPECT_EQ(ax, (TVecteur{0, 1, 0}));
    const TVecteur below{0.015624, 0, 0.99988};
    ArbitraryAxes(below, ax, ay);
    EXPECT_GT(ax.X, 0.99) << "just below 1/64 takes Wy x N";
}

TEST(TVecteurTest, TransformIsInactiveOnlyForExactlyZUp) {
    EXPECT_FALSE(OcsTransform({0, 0, 1}).Active());
    EXPECT_TRUE(OcsTransform({0, 0, 1.0000000001}).Active());
    EXPECT_TRUE(OcsTransform({0, 0, 0}).Active());
    TVecteur p{4, 5, 6};
    OcsTransform({0, 0, -1}).Apply(p);
    EXPECT_EQ(p, (TVecteur{-4, 5, -6}));
    TVecteur v{0, 0, 0};
    Normalize(v);
    EXPECT_EQ(v, (TVecteur{0, 0, 0})) << "zero length stays unchanged";
}

} // namespace
} // namespace quarrow
