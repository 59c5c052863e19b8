#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/mode.h"
#include "app/uninstall_batch.h"
#include "app/uninstall_rights.h"

TEST(SelectMode, FirstArgumentDecides)
{
    constexpr SaverMode C = SaverMode::Configure, P = SaverMode::Preview, S = SaverMode::FullScreen,
                        U = SaverMode::Uninstall, N = SaverMode::None;
    const std::pair<const char*, SaverMode> cases[] = {
        {"/c", C}, {"c", C},      {"/c:592", C}, {"sc", C},  {"cs", C},       {"/p", P},         {"-P", P},
        {"p", P},  {"/p:592", N}, {"//p", N},    {"/pp", N}, {"-s", S},       {"save", S},       {"/s:1", S},
        {"/C", N}, {"/S", N},     {"-UNINSTALL", U}, {"-uninstall", N}, {"-UNINSTALLX", N}, {"", N}, {nullptr, C}};
    for (const auto& [argument, mode] : cases) {
        const char* argv[] = {"C:\\WINDOWS\\VELLOR~1.SCR", argument, "592"};
        EXPECT_EQ(int(SelectMode(argument ? 3 : 1, argv)), int(mode)) << '"' << (argument ? argument : "none") << '"';
    }
}

TEST(ParseWindowHandle, ReadsASignedDecimalPrefix)
{
    const std::pair<const char*, int32_t> cases[] = {{"  +592abc", 592}, {"-592", -592}, {"0x10", 0},
        {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}, {nullptr, 0}};
    for (const auto& [text, handle] : cases) EXPECT_EQ(ParseWindowHandle(text), handle) << (text ? text : "null");
}

TEST(UninstallBatchLine, RetriesThirtyTimesThenDeletesItself)
{
    const char* path = "C:\\WINDOWS\\VELLOR~1.SCR";
    std::string text;
    char line[64];
    for (int i = 0; i < kUninstallBatchLineCount; ++i) text.append(line, UninstallBatchLine(i, path, line, sizeof line));
    EXPECT_EQ(text, "SET tries=0\r\n:f\r\nDEL \"C:\\WINDOWS\\VELLOR~1.SCR\"\r\n"
                    "IF NOT EXIST \"C:\\WINDOWS\\VELLOR~1.SCR\" GOTO d\r\nSET /A tries+=1\r\n"
                    "IF %tries% GEQ 30 GOTO d\r\nPING -n 2 127.0.0.1 >NUL\r\nGOTO f\r\n:d\r\nDEL %0\r\n");
    EXPECT_EQ(UninstallBatchLine(2, path, line, 31) + UninstallBatchLine(kUninstallBatchLineCount, "x", line, 64), 0u);
}

TEST(NeedsElevation, OnlyARefusalToALimitedTokenAsksForRights)
{
    const long kNotFound = 2, kSharing = 32, kDenied = kAccessDenied;
    const std::tuple<Elevation, long, long, bool> cases[] = {
        {Elevation::Limited, 0, 0, false},              {Elevation::Limited, kDenied, 0, true},
        {Elevation::Limited, kNotFound, kDenied, true}, {Elevation::Limited, kNotFound, kSharing, false},
        {Elevation::Full, kDenied, kDenied, false},     {Elevation::Unknown, kDenied, kDenied, false}};
    for (const auto& [token, entry, batch, elevate] : cases)
        EXPECT_EQ(NeedsElevation(token, entry, batch), elevate) << int(token) << " " << entry << " " << batch;
}
