#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "x11/options.h"
#include "x11_support.h"

namespace {

// The target, then the nine settings in stored order.
std::string Describe(const CommandLine& line)
{
    char target[32];
    if (line.target == DrawTarget::Window) std::snprintf(target, sizeof target, "0x%lx", line.window);
    std::string text = line.target == DrawTarget::OwnWindow ? "own" : line.target == DrawTarget::Root ? "root" : target;
    for (uint32_t value : line.settings) text += " " + std::to_string(value);
    return text;
}

// The program's exit code and the lines it wrote to standard error, with no display to open.
int RunProgram(std::vector<const char*> args, const char* screensaverWindow, int& errorLines)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -1;
    args.insert(args.begin(), VELLORAN_X11_PROGRAM);
    std::vector<std::string> env = {"DISPLAY="};
    if (screensaverWindow) env.push_back(std::string("XSCREENSAVER_WINDOW=") + screensaverWindow);
    const pid_t pid = Spawn(args, env, {{fds[1], 2}});
    close(fds[1]);
    errorLines = 0;
    for (char c; read(fds[0], &c, 1) == 1;) errorLines += c == '\n';
    close(fds[0]);
    int status = 0;
    return pid && waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
        {{"--gravity", "1.5"}, nullptr, nullptr},
        {{"--pin-size", ""}, nullptr, nullptr},
        {{"--sparks", "2"}, nullptr, nullptr},
        {{"--no-gravity"}, nullptr, nullptr},
        {{"--window-id", "0"}, nullptr, nullptr},
        {{"--window-id", "0x100000000"}, nullptr, nullptr},
        {{"--window-id", "-1"}, nullptr, nullptr},
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
        int errorLines = 0;
        EXPECT_EQ(RunProgram(c.args, c.screensaverWindow, errorLines), 2);
        EXPECT_EQ(errorLines, 1) << "one line of usage";
    }
}

}  // namespace
