// The classic fdlibm kernels and medium-range argument reduction, in plain double arithmetic.

#include "detail/Trig.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace quarrow {
namespace {

constexpr double S1 = -1.66666666666666324348e-01;
constexpr double S2 = 8.33333333332248946124e-03;
constexpr double S3 = -1.98412698298579493134e-04;
constexpr double S4 = 2.75573137070700676789e-06;
constexpr double S5 = -2.50507602534068634195e-08;
constexpr double S6 = 1.58969099521155010221e-10;

constexpr double C1 = 4.16666666666666019037e-02;
constexpr double C2 = -1.38888888888741095749e-03;
constexpr double C3 = 2.48015872894767294178e-05;
constexpr double C4 = -2.75573143513906633035e-07;
constexpr double C5 = 2.08757232129817482790e-09;
constexpr double C6 = -1.13596475577881948265e-11;

constexpr double kToInt = 6755399441055744.0;  // 1.5 * 2^52
constexpr double kPio4 = 0x1.921fb54442d18p-1;
constexpr double kInvPio2 = 6.36619772367581382433e-01;
constexpr double kPio2_1 = 1.57079632673412561417e+00;
constexpr double kPio2_1t = 6.07710050650619224932e-11;
constexpr double kPio2_2 = 6.07710050630396597660e-11;
constexpr double kPio2_2t = 2.02226624879595063154e-21;
constexpr double kPio2_3 = 2.02226624871116645580e-21;
constexpr double kPio2_3t = 8.47842766036889956997e-32;
constexpr double kTwoPi = 6.28318530717958647692;

// sin on [-pi/4, pi/4]; y is the tail of x.
double KernelSin(double x, double y, bool hasTail) noexcept {
    const double z = x * x;
    const double w = z * z;
    const double r = S2 + z * (S3 + z * S4) + z * w * (S5 + z * S6);
    const double v = z * x;
    if (!hasTail)
        return x + v * (S1 + z * r);
    return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

// cos on [-pi/4, pi/4]; y is the tail of x.
double KernelCos(double x, double y) noexcept {
    const double z = x * x;
    double w = z * z;
    const double r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
    const double hz = 0.5 * z;
    w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + (z * r - x * y));
}

int Exponent(double x) noexcept {
    return static_cast<int>((std::bit_cast<std::uint64_t>(x) >> 52) & 0x7ff);
}

// Returns n and x - n*pi/2 as y0 + y1, for |x| below about 1.6e6.
int ReduceMedium(double x, double& y0, double& y1) noexcept {
    double fn = x * kInvPio2 + kToInt - kToInt;
    int n = static_cast<int>(fn);
    double r = x - fn * kPio2_1;
    double w = fn * kPio2_1t;
    if (r - w < -kPio4) {
        --n;
        fn -= 1.0;
        r = x - fn * kPio2_1;
        w = fn * kPio2_1t;
    } else if (r - w > kPio4) {
        ++n;
        fn += 1.0;
        r = x - fn * kPio2_1;
        w = fn * kPio2_1t;
    }
    y0 = r - w;
    const int ex = Exponent(x);
    if (ex - Exponent(y0) > 16) {
        double t = r;
        w = fn * kPio2_2;
        r = t - w;
        w = fn * kPio2_2t - ((t - r) - w);
        y0 = r - w;
        if (ex - Exponent(y0) > 49) {
            t = r;
            w = fn * kPio2_3;
            r = t - w;
            w = fn * kPio2_3t - ((t - r) - w);
            y0 = r - w;
        }
    }
    y1 = (r - y0) - w;
    return n;
}

// Reduces x to its quadrant n and remainder y0 + y1.
int Reduce(double x, double& y0, double& y1) noexcept {
    // Past the medium range (angles of about 10^8 degrees) fold by a whole turn first:
    // fmod is exact, so this stays the same everywhere, though the turn itself is rounded.
    if (std::fabs(x) >= 1.6e6)
        x = std::fmod(x, kTwoPi);
    return ReduceMedium(x, y0, y1);
}

}  // namespace

double Sine(double x) noexcept {
    if (!std::isfinite(x))
        return x - x;
    if (std::fabs(x) <= kPio4)
        return std::fabs(x) < 0x1p-26 ? x : KernelSin(x, 0.0, false);
    double y0 = 0.0;
    double y1 = 0.0;
    switch (Reduce(x, y0, y1) & 3) {
    case 0: return KernelSin(y0, y1, true);
    case 1: return KernelCos(y0, y1);
    case 2: return -KernelSin(y0, y1, true);
    default: return -KernelCos(y0, y1);
    }
}

double Cosine(double x) noexcept {
    if (!std::isfinite(x))
        return x - x;
    if (std::fabs(x) <= kPio4)
        return std::fabs(x) < 0x1p-27 ? 1.0 : KernelCos(x, 0.0);
    double y0 = 0.0;
    double y1 = 0.0;
    switch (Reduce(x, y0, y1) & 3) {
    case 0: return KernelCos(y0, y1);
    case 1: return -KernelSin(y0, y1, true);
    case 2: return -KernelCos(y0, y1);
    default: return KernelSin(y0, y1, true);
    }
}

}  // namespace quarrow
