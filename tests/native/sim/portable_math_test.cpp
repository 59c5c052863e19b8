// The simulation's own sine, cosine and arc tangent against the same functions computed with 113-bit mantissas.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "sim/portable_math.h"

#if defined(__x86_64__) || defined(__i386__)
#include <quadmath.h>
using Wide = __float128;
Wide WideSin(Wide x) { return sinq(x); }
Wide WideCos(Wide x) { return cosq(x); }
Wide WideAtan2(Wide y, Wide x) { return atan2q(y, x); }
#else  // where there is no __float128, long double has the 113 bits
using Wide = long double;
Wide WideSin(Wide x) { return sinl(x); }
Wide WideCos(Wide x) { return cosl(x); }
Wide WideAtan2(Wide y, Wide x) { return atan2l(y, x); }
#endif

namespace {

constexpr double kPi = 3.141592653589793, kInf = std::numeric_limits<double>::infinity();

// How far got is from exact, in units in the last place of exact as a double.
double UlpError(double got, Wide exact)
{
    if (exact == 0) return got == 0 ? 0 : kInf;
    int exponent = 0;
    std::frexp(static_cast<double>(exact), &exponent);
    const Wide difference = static_cast<Wide>(got) - exact;
    return static_cast<double>((difference < 0 ? -difference : difference) /
                               static_cast<Wide>(std::ldexp(1.0, std::max(exponent - 53, -1074))));
}

// Headings of pin groups (up to 6.283 plus four turns of at most 2.1) and
// contact angles (within pi): steps over [-16, 16] and every neighbour of
// the multiples of pi/4, where the reduction cancels most. Then
// the ends: tiny and subnormal arguments, the change of method at 2^20 pi/2,
// the doubles below it closest to a multiple of pi/2 (over 70 bits cancel),
// and large ones up to the largest double, every 50th power of two, so that
// every bit of 2/pi in the table takes part.
TEST(PortableMath, SineAndCosineAreWithinOneUlp)
{
    std::vector<double> xs = {0x1p-1074, 0x1p-27, 0x1.6a09e667f3bcdp-27, 0x1p-26, 0x1.fp-26,
                              0x1.39c6fd67805a7p+20, 0x1.93c05c9ed3cbcp+18, 0x1.93c05c9ed3cbcp+19,
                              0x1.921fb4p20, 0x1.921fb6p20, 1e22, DBL_MAX};
    for (int e = 23; e <= 1023; e += 50) xs.push_back(std::ldexp(4.0 / 3, e));
    for (int i = -20000; i <= 20000; ++i) xs.push_back(i * 8e-4);
    for (int k = -20; k <= 20; ++k) {
        double x = k * (kPi / 4);
        for (int i = 0; i < 50; ++i) x = std::nextafter(x, kInf);
        for (int i = 0; i < 100; ++i) xs.push_back(x = std::nextafter(x, -kInf));
    }
    double worstSine = 0, worstCosine = 0, atSine = 0, atCosine = 0;
    for (double magnitude : xs) {
        for (double x : {magnitude, -magnitude}) {
            const double sine = UlpError(Sine(x), WideSin(x)), cosine = UlpError(Cosine(x), WideCos(x));
            if (sine > worstSine) worstSine = sine, atSine = x;
            if (cosine > worstCosine) worstCosine = cosine, atCosine = x;
        }
    }
    EXPECT_LE(worstSine, 1.0) << "sine at " << atSine;
    EXPECT_LE(worstCosine, 1.0) << "cosine at " << atCosine;
}

// Offsets between two discs: any quadrant, lengths from far below a pixel to
// beyond the largest board, in any ratio.
TEST(PortableMath, ArcTangent2IsWithinOneUlp)
{
    std::mt19937_64 random;
    std::uniform_real_distribution<double> mantissa(-2, 2);
    std::uniform_int_distribution<int> exponent(-33, 17);
    double worst = 0, atY = 0, atX = 0;
    for (int i = 0; i < 100000; ++i) {
        const double y = std::ldexp(mantissa(random), exponent(random)), x = std::ldexp(mantissa(random), exponent(random));
        const double error = UlpError(ArcTangent2(y, x), WideAtan2(y, x));
        if (error > worst) worst = error, atY = y, atX = x;
    }
    EXPECT_LE(worst, 1.0) << "at y " << atY << ", x " << atX;
}

// Zeros keep their sign, the axes and infinities give the angles atan2 gives
// them, and NaN comes out of NaN and of sin and cos of an infinity.
TEST(PortableMath, ExactValuesAtZerosAxesInfinitiesAndNaN)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        char function;  // s, c or a (atan2 of y, x)
        double y, x, want;
    };
    const Case table[] = {
        {'s', -0.0, 0, -0.0}, {'s', kInf, 0, nan}, {'c', -kInf, 0, nan}, {'a', -0.0, 0.0, -0.0}, {'a', 0.0, -0.0, kPi},
        {'a', 5, -0.0, kPi / 2}, {'a', -5, 0.0, -kPi / 2}, {'a', kInf, kInf, kPi / 4},
        {'a', -kInf, -kInf, -3 * kPi / 4}, {'a', -5, kInf, -0.0}, {'a', 5, -kInf, kPi}, {'a', -kInf, -5, -kPi / 2},
        {'a', DBL_MAX, 0x1p-1074, kPi / 2}, {'a', 0x1p-1074, -DBL_MAX, kPi}, {'a', nan, 1, nan}, {'a', 1, nan, nan},
    };
    for (const Case& c : table) {
        const double got = c.function == 's' ? Sine(c.y) : c.function == 'c' ? Cosine(c.y) : ArcTangent2(c.y, c.x);
        if (std::isnan(c.want)) {
            EXPECT_TRUE(std::isnan(got)) << c.function << " " << c.y << " " << c.x << ": " << got;
        } else {
            EXPECT_TRUE(got == c.want && std::signbit(got) == std::signbit(c.want)) << c.function << " " << c.y << " "
                                                                                     << c.x << ": " << got;
        }
    }
}

}  // namespace
