// The simulation's own sine, cosine and arc tangent against the same functions in long double, whose mantissa of
// 64 bits or more puts the reference within a thousandth of a double's ulp.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "sim/portable_math.h"

namespace {

constexpr double kPi = 3.141592653589793, kInf = std::numeric_limits<double>::infinity();

// How far got is from exact, in units in the last place of exact as a double.
double UlpError(double got, long double exact)
{
    int exponent = 0;
    std::frexp(static_cast<double>(exact), &exponent);
    return static_cast<double>(std::fabs(got - exact) / std::ldexp(1.0L, std::max(exponent - 53, -1074)));
}

// Where the simulation's arguments lie (headings and contact angles, within 16 of zero) the recorded digests
// pin every value; these are the arguments no recorded run reaches. Sine and cosine: tiny and subnormal
// arguments, the change of method at 2^20 pi/2, the doubles below it closest to a multiple of pi/2 (over 70
// bits cancel), and large ones up to the largest double, every 50th power of two, so that every bit of 2/pi
// in the table takes part. Arc tangent: ratios of y to x from 2^-80 to 2^80, either side of the axis.
TEST(PortableMath, IsWithinOneUlpWhereNoRecordedRunGoes)
{
    std::vector<double> xs = {0x1p-1074, 0x1p-27, 0x1.6a09e667f3bcdp-27, 0x1p-26, 0x1.fp-26,
                              0x1.39c6fd67805a7p+20, 0x1.93c05c9ed3cbcp+18, 0x1.93c05c9ed3cbcp+19,
                              0x1.921fb4p20, 0x1.921fb6p20, 1e22, DBL_MAX};
    for (int e = 23; e <= 1023; e += 50) xs.push_back(std::ldexp(4.0 / 3, e));
    for (double magnitude : xs) {
        for (double x : {magnitude, -magnitude}) {
            EXPECT_LE(UlpError(Sine(x), sinl(x)), 1.0) << "sine at " << x;
            EXPECT_LE(UlpError(Cosine(x), cosl(x)), 1.0) << "cosine at " << x;
        }
    }
    for (int e = -80; e <= 80; ++e) {
        for (double x : {0.7, -0.7}) {
            const double y = std::ldexp(1.2345, e);
            EXPECT_LE(UlpError(ArcTangent2(y, x), atan2l(y, x)), 1.0) << "arc tangent at y " << y << ", x " << x;
        }
    }
}

// Zeros keep their sign, the axes and infinities give the angles atan2 gives them, and NaN comes out of NaN and of
// sin and cos of an infinity.
TEST(PortableMath, ExactValuesAtZerosAxesInfinitiesAndNaN)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { char function; double y, x, want; } table[] = {  // function: s, c or a (atan2 of y, x)
        {'s', -0.0, 0, -0.0}, {'s', kInf, 0, nan}, {'c', -kInf, 0, nan}, {'a', -0.0, 0.0, -0.0}, {'a', 0.0, -0.0, kPi},
        {'a', 5, -0.0, kPi / 2}, {'a', -5, 0.0, -kPi / 2}, {'a', kInf, kInf, kPi / 4},
        {'a', -kInf, -kInf, -3 * kPi / 4}, {'a', -5, kInf, -0.0}, {'a', 5, -kInf, kPi}, {'a', -kInf, -5, -kPi / 2},
        {'a', DBL_MAX, 0x1p-1074, kPi / 2}, {'a', 0x1p-1074, -DBL_MAX, kPi}, {'a', nan, 1, nan}, {'a', 1, nan, nan},
    };
    for (const auto& c : table) {
        const double got = c.function == 's' ? Sine(c.y) : c.function == 'c' ? Cosine(c.y) : ArcTangent2(c.y, c.x);
        const bool same = std::isnan(c.want) ? std::isnan(got) : got == c.want && std::signbit(got) == std::signbit(c.want);
        EXPECT_TRUE(same) << c.function << " " << c.y << " " << c.x << ": " << got;
    }
}

}  // namespace
