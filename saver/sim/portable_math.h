// Sine, cosine, arc tangent and square root that give the same doubles on
// every build: the system libraries do not (mingw-w64's compute on the x87
// unit at 64-bit precision and round afterwards, glibc's are its own), and one
// last bit apart, a board follows another path within a few hundred frames.
//
// Sine, Cosine and ArcTangent2 use only IEEE 754 additions, subtractions,
// multiplications and divisions of doubles, which round the same everywhere
// as long as nothing is kept at higher precision or fused (the build turns
// contraction off and uses SSE2 on x86). Their error stays below one unit in
// the last place.
#pragma once
#include <cmath>

double Sine(double x);
double Cosine(double x);
// The angle of (x, y) in [-pi, pi], with the signs of zeros and infinities
// that atan2 gives them.
double ArcTangent2(double y, double x);

// IEEE 754 makes the square root correctly rounded, and every target has an
// instruction for it. Without errno (the build says -fno-math-errno) the
// compiler emits just that instruction, never a call into the runtime.
inline double SquareRoot(double x) { return std::sqrt(x); }
