#pragma once
// Three doubles for OCS points, world points, extrusion directions and axes, with the
// arbitrary axis algorithm that maps an entity's object coordinates to world coordinates.

namespace quarrow {

struct Vector3 {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;

    bool operator==(const Vector3&) const = default;
};

// Divides v by its length; a vector of length 0 is left unchanged.
void Normalize(Vector3& v) noexcept;
// Returns a x b.
Vector3 CrossProduct(const Vector3& a, const Vector3& b) noexcept;
// Computes the OCS axes Ax and Ay of an extrusion direction N (N itself is not normalised).
void ArbitraryAxes(const Vector3& n, Vector3& ax, Vector3& ay) noexcept;
// Maps p from OCS to world coordinates: p.X*Ax + p.Y*Ay + p.Z*N.
void OcsToWcs(Vector3& p, const Vector3& ax, const Vector3& ay, const Vector3& n) noexcept;
// Returns true when N is exactly (0, 0, 1): OCS coordinates are then world coordinates.
constexpr bool IsWorldExtrusion(const Vector3& n) noexcept {
    return n.X == 0.0 && n.Y == 0.0 && n.Z == 1.0;
}

// Returns the extrusion direction at unit length: a length within 1e-9 of 1 is kept as
// written, another is divided out, and a length of 0 or one that is not finite gives (0, 0, 1).
Vector3 UnitExtrusion(const Vector3& n) noexcept;

// The axes of one entity, computed once and applied to each of its points.
class OcsTransform {
public:
    // Takes the extrusion at unit length (UnitExtrusion).
    explicit OcsTransform(const Vector3& extrusion) noexcept;
    // Returns true when points need mapping (the extrusion is not (0, 0, 1)).
    bool Active() const noexcept { return active_; }
    // Maps p to world coordinates when active; leaves it as it is otherwise.
    void Apply(Vector3& p) const noexcept;

private:
    Vector3 ax_, ay_, n_;
    bool active_;
};

}  // namespace quarrow
