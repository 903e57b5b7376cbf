#include "detail/Vector3.h"

#include <cmath>

namespace quarrow {

void Normalize(Vector3& v) noexcept {
    const double length = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    if (length != 0.0) {
        v.X /= length;
        v.Y /= length;
        v.Z /= length;
    }
}

Vector3 CrossProduct(const Vector3& a, const Vector3& b) noexcept {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

void ArbitraryAxes(const Vector3& n, Vector3& ax, Vector3& ay) noexcept {
    constexpr double kLimit = 1.0 / 64.0;  // exactly 1/64 does not count as "near the Z axis"
    if (std::fabs(n.X) < kLimit && std::fabs(n.Y) < kLimit)
        ax = CrossProduct({0.0, 1.0, 0.0}, n);
    else
        ax = CrossProduct({0.0, 0.0, 1.0}, n);
    Normalize(ax);
    ay = CrossProduct(n, ax);
    Normalize(ay);
}

void OcsToWcs(Vector3& p, const Vector3& ax, const Vector3& ay, const Vector3& n) noexcept {
    const Vector3 o = p;
    p.X = o.X * ax.X + o.Y * ay.X + o.Z * n.X;
    p.Y = o.X * ax.Y + o.Y * ay.Y + o.Z * n.Y;
    p.Z = o.X * ax.Z + o.Y * ay.Z + o.Z * n.Z;
}

Vector3 UnitExtrusion(const Vector3& n) noexcept {
    constexpr Vector3 kWorld{0.0, 0.0, 1.0};
    if (!std::isfinite(n.X) || !std::isfinite(n.Y) || !std::isfinite(n.Z))
        return kWorld;
    // Scaled by the largest component first, so that neither huge nor tiny components
    // overflow or vanish in the squares.
    const double largest = std::fmax(std::fabs(n.X), std::fmax(std::fabs(n.Y), std::fabs(n.Z)));
    if (largest == 0.0)
        return kWorld;
    const Vector3 scaled{n.X / largest, n.Y / largest, n.Z / largest};
    const double root = std::sqrt(scaled.X * scaled.X + scaled.Y * scaled.Y + scaled.Z * scaled.Z);
    // Directions as files write them are unit length to about 1e-15: kept bit for bit.
    if (std::fabs(largest * root - 1.0) <= 1e-9)
        return n;
    return {scaled.X / root, scaled.Y / root, scaled.Z / root};
}

OcsTransform::OcsTransform(const Vector3& extrusion) noexcept
    : n_(UnitExtrusion(extrusion)), active_(!IsWorldExtrusion(n_)) {
    if (active_)
        ArbitraryAxes(n_, ax_, ay_);
}

void OcsTransform::Apply(Vector3& p) const noexcept {
    if (active_)
        OcsToWcs(p, ax_, ay_, n_);
}

}  // namespace quarrow
