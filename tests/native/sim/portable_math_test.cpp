// The simulation's own sine, cosine and arc tangent against the same functions
// computed with 113-bit mantissas: within one unit in the last place over the
// angles and offsets the simulation feeds them, and exact where the value is.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
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
    const double ulp = std::ldexp(1.0, std::max(exponent - 53, -1074));
    const Wide difference = static_cast<Wide>(got) - exact;
    return static_cast<double>((difference < 0 ? -difference : difference) / static_cast<Wide>(ulp));
}

// A fixed sequence of doubles in [0, 1).
struct Uniform {
    uint64_t state = 88172645463325252u;
    double operator()()
    {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return static_cast<double>(state >> 11) * 0x1p-53;
    }
};

struct Worst {
    double error = 0, y = 0, x = 0;
    void Note(double e, double atY, double atX = 0)
    {
        if (!(e <= error)) error = e, y = atY, x = atX;
    }
};

// Headings of pin groups (up to 6.283 plus four turns of at most 2.1) and
// contact angles (within pi): dense steps over [-16, 16], then every
// neighbour of the multiples of pi/4, where the reduction cancels most.
TEST(PortableMath, SineAndCosineAreWithinOneUlpOverTheAnglesTheSimulationUses)
{
    Worst sine, cosine;
    const auto check = [&](double x) {
        sine.Note(UlpError(Sine(x), WideSin(x)), x);
        cosine.Note(UlpError(Cosine(x), WideCos(x)), x);
    };
    for (int i = -100000; i <= 100000; ++i) check(i * 16e-5);
    Uniform uniform;
    for (int i = 0; i < 100000; ++i) check(32 * uniform() - 16);
    for (int k = -20; k <= 20; ++k) {
        double x = k * (kPi / 4);
        for (int i = 0; i < 50; ++i) x = std::nextafter(x, kInf);
        for (int i = 0; i < 100; ++i) check(x = std::nextafter(x, -kInf));
    }
    EXPECT_LE(sine.error, 1.0) << "at " << sine.y;
    EXPECT_LE(cosine.error, 1.0) << "at " << cosine.y;
}

// Offsets between two discs: any quadrant, lengths from far below a pixel to
// beyond the largest board, in any ratio.
TEST(PortableMath, ArcTangent2IsWithinOneUlpOverTheOffsetsTheSimulationUses)
{
    Worst worst;
    Uniform uniform;
    const auto offset = [&] { return std::ldexp(1 + uniform(), static_cast<int>(50 * uniform()) - 33) * (uniform() < 0.5 ? -1 : 1); };
    for (int i = 0; i < 300000; ++i) {
        const double y = offset(), x = offset();
        worst.Note(UlpError(ArcTangent2(y, x), WideAtan2(y, x)), y, x);
    }
    for (int y = -40; y <= 40; ++y) {
        for (int x = -40; x <= 40; ++x) worst.Note(UlpError(ArcTangent2(y, x), WideAtan2(y, x)), y, x);
    }
    EXPECT_LE(worst.error, 1.0) << "at y " << worst.y << ", x " << worst.x;
}

// The ends of the ranges, within one ulp as above: tiny and subnormal
// arguments, the last doubles before and after pi/4, pi/2 and pi, the
// change of method in the reduction (2^20 pi/2), the doubles below it that
// come closest to a multiple of pi/2 (over 70 bits cancel), and large arguments up
// to the largest double, every 50th power of two, so that every bit of 2/pi
// in the table takes part.
TEST(PortableMath, SineAndCosineAreWithinOneUlpAtTheEndsOfTheirRange)
{
    std::vector<double> table = {0x1p-1074, 0x1p-1022, 1e-300, 0x1p-27, 0x1.6a09e667f3bcdp-27, 0x1p-26, 0x1.fp-26,
                                 1e-8, 0.7853981633974483, 0.7853981633974484, 0x1.921fb54442d18p0,
                                 0x1.921fb54442d19p0, kPi, 0x1.921fb54442d19p1, 4.71238898038469, 6.283185307179586,
                                 0x1.39c6fd67805a7p+20, 0x1.93c05c9ed3cbcp+18, 0x1.93c05c9ed3cbcp+19,
                                 0x1.921fb4p20, 0x1.921fb6p20, 1e22, DBL_MAX};
    for (int e = 23; e <= 1023; e += 50) table.push_back(std::ldexp(4.0 / 3, e));
    for (double magnitude : table) {
        for (double x : {magnitude, -magnitude}) {
            EXPECT_LE(UlpError(Sine(x), WideSin(x)), 1.0) << "sin " << x;
            EXPECT_LE(UlpError(Cosine(x), WideCos(x)), 1.0) << "cos " << x;
        }
    }
}

// Values that are exact: zeros keep their sign, the axes and infinities give
// the angles atan2 gives, and NaN comes out of NaN and of sin and cos of an
// infinity.
TEST(PortableMath, ExactValuesAtZerosAxesInfinitiesAndNaN)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        char function;  // s, c or a (atan2 of y, x)
        double y, x, want;
    };
    const Case table[] = {
        {'s', 0.0, 0, 0.0},         {'s', -0.0, 0, -0.0},        {'c', 0.0, 0, 1.0},          {'c', -0.0, 0, 1.0},
        {'s', kInf, 0, nan},        {'s', -kInf, 0, nan},        {'c', kInf, 0, nan},         {'s', nan, 0, nan},
        {'c', nan, 0, nan},         {'a', 0.0, 0.0, 0.0},        {'a', -0.0, 0.0, -0.0},      {'a', 0.0, -0.0, kPi},
        {'a', -0.0, -0.0, -kPi},    {'a', 0.0, 5, 0.0},          {'a', -0.0, 5, -0.0},        {'a', 0.0, -5, kPi},
        {'a', -0.0, -5, -kPi},      {'a', 5, 0.0, kPi / 2},      {'a', 5, -0.0, kPi / 2},     {'a', -5, 0.0, -kPi / 2},
        {'a', kInf, kInf, kPi / 4}, {'a', kInf, -kInf, 3 * kPi / 4}, {'a', -kInf, kInf, -kPi / 4},
        {'a', -kInf, -kInf, -3 * kPi / 4}, {'a', 5, kInf, 0.0},  {'a', -5, kInf, -0.0},       {'a', 5, -kInf, kPi},
        {'a', -5, -kInf, -kPi},     {'a', kInf, 5, kPi / 2},     {'a', -kInf, -5, -kPi / 2},  {'a', 1, 1, kPi / 4},
        {'a', -1, -1, -3 * kPi / 4}, {'a', DBL_MAX, 0x1p-1074, kPi / 2}, {'a', 0x1p-1074, -DBL_MAX, kPi},
        {'a', nan, 1, nan},         {'a', 1, nan, nan},          {'a', nan, nan, nan},
    };
    for (const Case& c : table) {
        const double got = c.function == 's' ? Sine(c.y) : c.function == 'c' ? Cosine(c.y) : ArcTangent2(c.y, c.x);
        if (std::isnan(c.want)) {
            EXPECT_TRUE(std::isnan(got)) << c.function << " " << c.y << " " << c.x << ": " << got;
        } else {
            EXPECT_EQ(std::signbit(got), std::signbit(c.want)) << c.function << " " << c.y << " " << c.x;
            EXPECT_EQ(got, c.want) << c.function << " " << c.y << " " << c.x;
        }
    }
}

}  // namespace
