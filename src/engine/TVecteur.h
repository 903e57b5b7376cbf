#pragma once
// Three doubles for OCS points, world points, extrusion directions and axes, with the
// arbitrary axis algorithm that maps an entity's object coordinates to world coordinates.

namespace quarrow {

struct TVecteur {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;

    bool operator==(const TVecteur&) const = default;
};

// Divides v by its length; a vector of length 0 is left unchanged.
void Normalize(TVecteur& v) noexcept;
// Returns a x b.
TVecteur CrossProduct(const TVecteur& a, const TVecteur& b) noexcept;
// Computes the OCS axes Ax and Ay of an extrusion direction N (N itself is not normalised).
void ArbitraryAxes(const TVecteur& n, TVecteur& ax, TVecteur& ay) noexcept;
// Maps p from OCS to world coordinates: p.X*Ax + p.Y*Ay + p.Z*N.
void OcsToWcs(TVecteur& p, const TVecteur& ax, const TVecteur& ay, const TVecteur& n) noexcept;
// Returns true when N is exactly (0, 0, 1): OCS coordinates are then world coordinates.
constexpr bool IsWorldExtrusion(const TVecteur& n) noexcept {
    return n.X == 0.0 && n.Y == 0.0 && n.Z == 1.0;
}

// Returns the extrusion direction at unit length: a length within 1e-9 of 1 is kept as
// written, another is divided out, and a length of 0 or one that is not finite gives (0, 0, 1).
TVecteur UnitExtrusion(const TVecteur& n) noexcept;

// The axes of one entity, computed once and applied to each of its points.
class OcsTransform {
public:
    // Takes the extrusion at unit length (UnitExtrusion).
    explicit OcsTransform(const TVecteur& extrusion) noexcept;
    // Returns true when points need mapping (the extrusion is not (0, 0, 1)).
    bool Active() const noexcept { return active_; }
    // Maps p to world coordinates when active; leaves it as it is otherwise.
    void Apply(TVecteur& p) const noexcept;

private:
    TVecteur ax_, ay_, n_;
    bool active_;
};

} // namespace quarrow
