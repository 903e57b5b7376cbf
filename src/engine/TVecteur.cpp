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

OcsTransform::OcsTransform(const TVecteur& extrusion) noexcept
    : n_(extrusion), active_(!IsWorldExtrusion(extrusion)) {
    if (active_)
        ArbitraryAxes(n_, ax_, ay_);
}

void OcsTransform::Apply(TVecteur& p) const noexcept {
    if (active_)
        OcsToWcs(p, ax_, ay_, n_);
}

} // namespace quarrow
