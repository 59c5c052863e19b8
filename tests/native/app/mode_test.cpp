#include <gtest/gtest.h>

#include <climits>

#include "app/mode.h"

namespace {

TEST(SelectMode, FirstArgumentDecides)
{
    constexpr SaverMode C = SaverMode::Configure, P = SaverMode::Preview, S = SaverMode::FullScreen,
                        U = SaverMode::Uninstall, N = SaverMode::None;
    const struct {
        const char* argument;
        SaverMode mode;
    } cases[] = {
        // A lower-case c in the first or second place opens the options; a handle after it is never read.
        {"/c", C}, {"-c", C}, {"c", C}, {"/c:592", C}, {"scr", C}, {"sc", C}, {"cs", C},
        // Preview: the whole switch, any case, one leading - or / at most.
        {"/p", P}, {"-p", P}, {"p", P}, {"/P", P}, {"-P", P}, {"P", P},
        {"/p:592", N}, {"//p", N}, {"-/p", N}, {"/pp", N},
        // Full screen: a lower-case s in the first or second place, once the c tests are past.
        {"/s", S}, {"-s", S}, {"s", S}, {"save", S}, {"/s:1", S}, {"/C", N}, {"/S", N},
        // Uninstall only with the exact switch; nothing else selects a mode.
        {"-UNINSTALL", U}, {"-uninstall", N}, {"/UNINSTALL", N}, {"UNINSTALL", N}, {"-UNINSTALLX", N},
        {"", N}, {"/", N}, {"x", N},
    };
    for (const auto& c : cases) {
        const char* argv[] = {"C:\\WINDOWS\\VELLOR~1.SCR", c.argument, "592"};
        EXPECT_EQ(int(SelectMode(3, argv)), int(c.mode)) << '"' << c.argument << '"';
    }
    const char* alone[] = {"saver.scr"};
    EXPECT_EQ(SelectMode(1, alone), C) << "no argument opens the options";
}

TEST(ParseWindowHandle, ReadsASignedDecimalPrefix)
{
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"592", 592}, {"  592", 592}, {"+592", 592}, {"-592", -592}, {"592abc", 592}, {"abc", 0}, {"", 0},
        {"-", 0}, {"0x10", 0}, {"2147483647", INT32_MAX}, {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN},
        {nullptr, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseWindowHandle(c.text), c.expected) << (c.text ? c.text : "null");
}

}  // namespace
