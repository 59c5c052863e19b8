#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "app/mode.h"

namespace {

const char* Name(SaverMode mode)
{
    switch (mode) {
    case SaverMode::Configure: return "configure";
    case SaverMode::Preview: return "preview";
    case SaverMode::FullScreen: return "full-screen";
    case SaverMode::Uninstall: return "uninstall";
    case SaverMode::None: return "none";
    }
    return "?";
}

struct ModeCase {
    const char* argument;
    SaverMode expected;
    friend std::ostream& operator<<(std::ostream& os, const ModeCase& c) { return os << '"' << c.argument << '"'; }
};

class SelectModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SelectModeTest, FirstArgumentDecides)
{
    const char* argv[] = {"C:\\WINDOWS\\VELLOR~1.SCR", GetParam().argument, "592"};
    EXPECT_STREQ(Name(SelectMode(3, argv)), Name(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SelectModeTest,
    ::testing::Values(
        // A lower-case c in the first or second place opens the options; a handle after it is never read.
        ModeCase{"/c", SaverMode::Configure}, ModeCase{"-c", SaverMode::Configure},
        ModeCase{"c", SaverMode::Configure}, ModeCase{"/c:592", SaverMode::Configure},
        ModeCase{"scr", SaverMode::Configure}, ModeCase{"sc", SaverMode::Configure},
        ModeCase{"cs", SaverMode::Configure},
        // Preview: the whole switch, any case, one leading - or / at most.
        ModeCase{"/p", SaverMode::Preview}, ModeCase{"-p", SaverMode::Preview}, ModeCase{"p", SaverMode::Preview},
        ModeCase{"/P", SaverMode::Preview}, ModeCase{"-P", SaverMode::Preview}, ModeCase{"P", SaverMode::Preview},
        ModeCase{"/p:592", SaverMode::None}, ModeCase{"//p", SaverMode::None}, ModeCase{"-/p", SaverMode::None},
        ModeCase{"/pp", SaverMode::None},
        // Full screen: a lower-case s in the first or second place, once the c tests are past.
        ModeCase{"/s", SaverMode::FullScreen}, ModeCase{"-s", SaverMode::FullScreen},
        ModeCase{"s", SaverMode::FullScreen}, ModeCase{"save", SaverMode::FullScreen},
        ModeCase{"/s:1", SaverMode::FullScreen},
        // Upper case C and S select nothing.
        ModeCase{"/C", SaverMode::None}, ModeCase{"/S", SaverMode::None},
        // Uninstall only with the exact switch.
        ModeCase{"-UNINSTALL", SaverMode::Uninstall}, ModeCase{"-uninstall", SaverMode::None},
        ModeCase{"/UNINSTALL", SaverMode::None}, ModeCase{"UNINSTALL", SaverMode::None},
        ModeCase{"-UNINSTALLX", SaverMode::None},
        // Nothing else selects a mode.
        ModeCase{"", SaverMode::None}, ModeCase{"/", SaverMode::None}, ModeCase{"x", SaverMode::None}));

TEST(SelectMode, NoArgumentOpensTheOptions)
{
    const char* argv[] = {"saver.scr"};
    EXPECT_EQ(SelectMode(1, argv), SaverMode::Configure);
}

struct HandleCase {
    const char* text;
    int32_t expected;
};

TEST(ParseWindowHandle, ReadsASignedDecimalPrefix)
{
    const HandleCase cases[] = {
        {"592", 592},        {"  592", 592},           {"+592", 592},          {"-592", -592},
        {"592abc", 592},     {"abc", 0},               {"", 0},                {"-", 0},
        {"0x10", 0},         {"2147483647", INT32_MAX}, {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
    };
    for (const HandleCase& c : cases) EXPECT_EQ(ParseWindowHandle(c.text), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(ParseWindowHandle(nullptr), 0);
}

}  // namespace
