#include "detail/Trig.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace quarrow {
namespace {

std::int64_t UlpDistance(double a, double b) {
    const auto key = [](double v) {
        const auto bits = std::bit_cast<std::int64_t>(v);
        return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
    };
    const std::int64_t d = key(a) - key(b);
    return d < 0 ? -d : d;
}

TEST(TrigTest, AgreesWithTheSystemWithinOneUlp) {
    // Angles in degrees as DXF files hold them, small radians and a few far ones: a wrong
    // coefficient or reduction constant shows as a large distance somewhere here.
#ifdef _WIN32
    GTEST_SKIP() << "the Windows C runtime's sin and cos are not rounded correctly";
#endif
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> degrees(-720.0, 720.0);
    std::uniform_real_distribution<double> far(-1.5e6, 1.5e6);
    std::int64_t worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = i % 4 == 3 ? far(random) : degrees(random) / 180.0 * std::numbers::pi;
        worst = std::max(
            {worst, UlpDistance(Sine(x), std::sin(x)), UlpDistance(Cosine(x), std::cos(x))});
    }
    EXPECT_LE(worst, 1);
}

TEST(TrigTest, QuarterTurnsAndSmallArguments) {
    EXPECT_EQ(Sine(0.0), 0.0);
    EXPECT_EQ(Cosine(0.0), 1.0);
    EXPECT_EQ(Sine(1e-300), 1e-300);
    EXPECT_NEAR(Cosine(std::numbers::pi / 2), 6.123233995736766e-17, 1e-30);
    EXPECT_EQ(Sine(std::numbers::pi / 2), 1.0);
    EXPECT_EQ(Cosine(std::numbers::pi), -1.0);
    EXPECT_TRUE(std::isnan(Sine(INFINITY)));
    // Beyond the medium range the result stays finite and bounded.
    EXPECT_LE(std::fabs(Sine(1e300)), 1.0);
}

}  // namespace
}  // namespace quarrow
