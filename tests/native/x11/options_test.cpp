#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "x11/options.h"

namespace {

// The target, then the nine settings in stored order.
std::string Describe(const CommandLine& line)
{
    std::string text = line.target == DrawTarget::OwnWindow ? "own" : line.target == DrawTarget::Root ? "root" : "";
    if (text.empty()) text = (std::ostringstream() << std::hex << std::showbase << line.window).str();
    for (uint32_t value : line.settings) text += " " + std::to_string(value);
    return text;
}

TEST(CommandLine, TakesTheSettingsAsTheDialogKeepsThemAndRefusesTheMalformed)
{
    const struct {
        std::vector<const char*> args;
        const char* screensaverWindow;
        const char* parsed;  // nullptr: refused
    } cases[] = {
        {{}, nullptr, "own 3 40 30 8 1 20 20 18 1"},
        {{"--num-balls", "7", "-num-pins", "100"}, nullptr, "own 7 100 30 8 1 20 20 18 1"},
        {{"--num-balls", "0", "--num-pins", "201"}, nullptr, "own 1 200 30 8 1 20 20 18 1"},
        {{"--ball-size", "-5", "--pin-size", "99999999999"}, nullptr, "own 3 40 10 200 1 20 20 18 1"},
        {{"--gravity", "-99999999999", "--scenario-counter", "101"}, nullptr, "own 3 40 30 8 1 1 100 18 1"},
        {{"--refresh-rate", "2"}, nullptr, "own 3 40 30 8 1 20 20 3 1"},
        {{"--refresh-rate", "+127", "--no-symmetry", "--random-sparks"}, nullptr, "own 3 40 30 8 0 20 20 127 2"},
        {{"-random-symmetry", "--no-sparks", "--sparks", "--symmetry"}, nullptr, "own 3 40 30 8 1 20 20 18 1"},
        {{"-root"}, nullptr, "root 3 40 30 8 1 20 20 18 1"},
        {{"--root", "--window-id", "0x2a"}, nullptr, "0x2a 3 40 30 8 1 20 20 18 1"},
        {{"--window-id", "42", "--root"}, "0x400007", "0x400007 3 40 30 8 1 20 20 18 1"},
        {{"--root"}, "", "root 3 40 30 8 1 20 20 18 1"},
        {{"--bogus"}, nullptr, nullptr},
        {{"root"}, nullptr, nullptr},
        {{"--num-balls"}, nullptr, nullptr},
        {{"--num-balls", "3x"}, nullptr, nullptr},
        {{"--sparks", "2"}, nullptr, nullptr},
        {{"--no-gravity"}, nullptr, nullptr},
        {{"--window-id", "0"}, nullptr, nullptr},
        {{"--window-id", "0x100000000"}, nullptr, nullptr},
        {{"--root"}, "window", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::vector<const char*> argv = {"velloransaver"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        CommandLine line;
        const bool parsed = ParseCommandLine(int(argv.size()), argv.data(), c.screensaverWindow, line);
        EXPECT_EQ(parsed ? Describe(line) : "refused", c.parsed ? c.parsed : "refused");
        if (c.parsed) continue;
        // The program itself, with no display to open: the lines of its standard error, then its exit code.
        std::string command = "DISPLAY= XSCREENSAVER_WINDOW='" + std::string(c.screensaverWindow ? c.screensaverWindow : "") + "'";
        for (const char* arg : argv) command += " '" + std::string(arg == argv[0] ? VELLORAN_X11_PROGRAM : arg) + "'";
        std::FILE* out = popen((command + " 2>&1 >/dev/null; echo $?").c_str(), "r");
        std::vector<std::string> lines;
        for (char line[1024]; out && std::fgets(line, sizeof line, out);) lines.push_back(line);
        if (out) pclose(out);
        EXPECT_EQ(lines.size() == 2 ? lines[1] : "", "2\n") << "one line of usage, then exit code 2";
    }
}

}  // namespace
