#include "engine/TVecteur.h"

#include <cmath>

namespace quarrow {

void Normalize(TVecteur& v) noexcept {
    const double length = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    if (length != 0.0) {
        v.X /= length;
        v.Y /= length;
        v.Z /= length;
    }
}

TVecteur CrossProduct(const TVecteur& a, const TVecteur& b) noexcept {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

void ArbitraryAxes(const TVecteur& n, TVecteur& ax, TVecteur& ay) noexcept {
    constexpr double kLimit = 1.0 / 64.0;  // exactly 1/64 does not count as "near the Z axis"
    if (std::fabs(n.X) < kLimit && std::fabs(n.Y) < kLimit)
        ax = CrossProduct({0.0, 1.0, 0.0}, n);
    else
        ax = CrossProduct({0.0, 0.0, 1.0}, n);
    Normalize(ax);
    ay = CrossProduct(n, ax);
    Normalize(ay);
}

void OcsToWcs(TVecteur& p, const TVecteur& ax, const TVecteur& ay, const TVecteur& n) noexcept {
    const TVecteur o = p;
    p.X = o.X * ax.X + o.Y * ay.X + o.Z * n.X;
    p.Y = o.X * ax.Y + o.Y * ay.Y + o.Z * n.Y;
    p.Z = o.X * ax.Z + o.Y * ay.Z + o.Z * n.Z;
}

TVecteur UnitExtrusion(const TVecteur& n) noexcept {
    constexpr TVecteur kWorld{0.0, 0.0, 1.0};
    if (!std::isfinite(n.X) || !std::isfinite(n.Y) || !std::isfinite(n.Z))
        return kWorld;
    // Scaled by the largest component first, so that neither huge nor tiny components
    // overflow or vanish in the squares.
    const double largest = std::fmax(std::fabs(n.X), std::fmax(std::fabs(n.Y), std::fabs(n.Z)));
    if (largest == 0.0)
        return kWorld;
    const TVecteur scaled{n.X / largest, n.Y / largest, n.Z / largest};
    const double root =
        std::sqrt(scaled.X * scaled.X + scaled.Y * scaled.Y + scaled.Z * scaled.Z);
    // Directions as files write them are unit length to about 1e-15: kept bit for bit.
    if (std::fabs(largest * root - 1.0) <= 1e-9)
        return n;
    return {scaled.X / root, scaled.Y / root, scaled.Z / root};
}

OcsTransform::OcsTransform(const TVecteur& extrusion) noexcept
    : n_(UnitExtrusion(extrusion)), active_(!IsWorldExtrusion(n_)) {
    if (active_)
        ArbitraryAxes(n_, ax_, ay_);
}

void OcsTransform::Apply(TVecteur& p) const noexcept {
    if (active_)
        OcsToWcs(p, ax_, ay_, n_);
}

} // namespace quarrow
