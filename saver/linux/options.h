// The Linux programs' command line, in the manner of XScreenSaver's programs:
// where to draw (X11 only), and the nine settings of a board that the Windows
// saver stores, as options with the same meanings, defaults and ranges. Every
// option is declared once, in the settings table; parsing, the usage line,
// the settings file for the daemon's settings dialog and both programs'
// manual pages all follow from it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "settings/settings_table.h"

// The prefix of the flag that selects each of a choice's values: --name,
// --no-name, --random-name.
inline constexpr const char* kChoicePrefixes[] = {"no-", "", "random-"};

// The settings of a board, the ones the options offer, in the table's order.
struct BoardSettings {
    const Setting* begin() const { return kSettings; }
    const Setting* end() const { return kSettings + kBoardSettingCount; }
};
inline constexpr BoardSettings kBoardSettings;
inline SettingId IdOf(const Setting& setting) { return SettingId(&setting - kSettings); }

enum class DrawTarget {
    OwnWindow,  // a window of its own, closed by a key press or the window manager
    Root,       // the root window
    Window,     // a window of another program
};

// What tells the programs' command lines apart.
struct LinuxProgram {
    const char* name;
    bool windowOptions;  // --root, --window-id and $XSCREENSAVER_WINDOW: X11 draws into others' windows
    bool idleOption;     // --on-idle: Wayland's program is its own idle daemon
};
inline constexpr LinuxProgram kX11Program{"velloransaver", true, false};
inline constexpr LinuxProgram kWaylandProgram{"velloransaver-wayland", false, true};

// What the command line asks for; its settings are read as the Windows saver
// reads stored ones, clamped into the options dialog's ranges.
struct CommandLine : SettingsReader {
    // Settings beyond a board's (the Windows saver's Monitors) keep their defaults.
    uint32_t ReadSetting(SettingId which) override
    {
        return which < kBoardSettingCount ? settings[which] : uint32_t(kSettings[which].defaultValue);
    }

    uint32_t settings[kBoardSettingCount] = {};
    DrawTarget target = DrawTarget::OwnWindow;
    unsigned long window = 0;  // with DrawTarget::Window
    uint32_t onIdle = 0;       // --on-idle: seconds of an idle seat before each showing; 0: show at once
    bool help = false;         // --help: the usage, and nothing else
    std::string refused;       // the argument that made the parse fail, as given
};

// argv[0] is the program. An option takes one dash or two. The window comes
// from screensaverWindow ($XSCREENSAVER_WINDOW, or null when unset) when it is
// set, else from --window-id, else --root; ids are decimal or 0x-hex. A number
// beyond 32 bits counts as the nearest 32-bit one before clamping. False for
// anything malformed (an unknown option, a missing or non-numeric value, an
// id that is not one, a window option where the front end has none, an idle
// time that is not a whole number of seconds from 1 to a day), with
// the culprit in line.refused.
bool ParseCommandLine(int argc, const char* const argv[], const char* screensaverWindow, CommandLine& line,
                      const LinuxProgram& program);

// One line: every option with its range.
void PrintUsage(std::FILE* out, const LinuxProgram& program);

// Parses the command line and answers a bad one (the culprit and the usage on
// stderr, exit code 2) or --help (the usage on stdout, 0): the exit code, or
// -1 when the program is to run.
int TakeCommandLine(int argc, const char* const argv[], const char* screensaverWindow, CommandLine& line,
                    const LinuxProgram& program);
