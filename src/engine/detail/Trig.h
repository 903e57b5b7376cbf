#pragma once
// Sine and cosine computed the same way on every machine: only IEEE additions and
// multiplications, in a fixed order (the build forbids fused multiply-add), instead of the
// platform's libm, whose last bit differs between systems and versions.

namespace quarrow {

// Returns sin(x), within one unit in the last place.
double Sine(double x) noexcept;
// Returns cos(x), within one unit in the last place.
double Cosine(double x) noexcept;

}  // namespace quarrow
