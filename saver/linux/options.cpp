#include "linux/options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// A whole decimal number, saturated to 32 bits.
bool ParseNumber(const char* text, int32_t& value)
{
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text, &end, 10);
    if (*end != '\0' || end == text) return false;
    value = number > INT32_MAX ? INT32_MAX : number < INT32_MIN ? INT32_MIN : int32_t(number);
    return true;
}

// A window id: decimal or 0x-hex, not 0, within X's 32 bits.
bool ParseWindowId(const char* text, unsigned long& id)
{
    if (!text || !*text || *text == '-' || *text == '+') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long number = std::strtoull(text, &end, 0);
    if (*end != '\0' || end == text || errno == ERANGE || number == 0 || number > 0xFFFFFFFFull) return false;
    id = static_cast<unsigned long>(number);
    return true;
}

// The setting and list value that a flag like "no-sparks" selects.
bool MatchListFlag(const char* flag, SettingId& which, uint32_t& value)
{
    for (const Setting& option : kBoardSettings) {
        if (!IsList(IdOf(option))) continue;
        for (uint32_t v = 0; v < 3; ++v) {
            const size_t prefix = std::strlen(kChoicePrefixes[v]);
            if (std::strncmp(flag, kChoicePrefixes[v], prefix) == 0 && std::strcmp(flag + prefix, option.option) == 0) {
                which = IdOf(option);
                value = v;
                return true;
            }
        }
    }
    return false;
}

const Setting* FindSlider(const char* name)
{
    for (const Setting& option : kBoardSettings) {
        if (!IsList(IdOf(option)) && std::strcmp(name, option.option) == 0) return &option;
    }
    return nullptr;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const argv[], const char* screensaverWindow, CommandLine& line,
                      const LinuxProgram& program)
{
    for (int i = 0; i < kBoardSettingCount; ++i) line.settings[i] = uint32_t(kSettings[i].defaultValue);
    bool root = false, haveId = false;
    unsigned long id = 0;
    const auto refuse = [&](const std::string& what) {
        line.refused = what;
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') return refuse(arg);
        const char* name = arg + (arg[1] == '-' ? 2 : 1);
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        SettingId which;
        uint32_t listValue;
        if (std::strcmp(name, "help") == 0 || std::strcmp(name, "h") == 0) {
            line.help = true;
        } else if (program.windowOptions && std::strcmp(name, "root") == 0) {
            root = true;
        } else if (program.windowOptions && std::strcmp(name, "window-id") == 0) {
            if (!ParseWindowId(value, id)) return refuse(std::string(arg) + (value ? std::string(" ") + value : ""));
            haveId = true, ++i;
        } else if (program.idleOption && std::strcmp(name, "on-idle") == 0) {
            int32_t seconds;
            if (!ParseNumber(value, seconds) || seconds < 1 || seconds > 86400)
                return refuse(std::string(arg) + (value ? std::string(" ") + value : ""));
            line.onIdle = uint32_t(seconds), ++i;
        } else if (MatchListFlag(name, which, listValue)) {
            line.settings[which] = listValue;
        } else if (const Setting* option = FindSlider(name)) {
            int32_t number;
            if (!ParseNumber(value, number)) return refuse(std::string(arg) + (value ? std::string(" ") + value : ""));
            line.settings[IdOf(*option)] = ClampStoredSetting(IdOf(*option), uint32_t(number));
            ++i;
        } else {
            return refuse(arg);
        }
    }
    line.target = DrawTarget::OwnWindow;
    if (program.windowOptions && screensaverWindow && *screensaverWindow) {
        if (!ParseWindowId(screensaverWindow, id)) return refuse(std::string("XSCREENSAVER_WINDOW=") + screensaverWindow);
        line.target = DrawTarget::Window;
    } else if (haveId) {
        line.target = DrawTarget::Window;
    } else if (root) {
        line.target = DrawTarget::Root;
    }
    line.window = line.target == DrawTarget::Window ? id : 0;
    return true;
}

int TakeCommandLine(int argc, const char* const argv[], const char* screensaverWindow, CommandLine& line,
                    const LinuxProgram& program)
{
    if (!ParseCommandLine(argc, argv, screensaverWindow, line, program)) {
        std::fprintf(stderr, "%s: bad argument: %s\n", program.name, line.refused.c_str());
        PrintUsage(stderr, program);
        return 2;
    }
    if (line.help) PrintUsage(stdout, program);
    return line.help ? 0 : -1;
}

void PrintUsage(std::FILE* out, const LinuxProgram& program)
{
    std::fprintf(out, "usage: %s [--help]%s%s", program.name, program.windowOptions ? " [--root | --window-id ID]" : "",
                 program.idleOption ? " [--on-idle 1-86400]" : "");
    for (const Setting& option : kBoardSettings) {
        const Setting& setting = option;
        if (IsList(IdOf(option))) {
            std::fprintf(out, " [--%s | --no-%s | --random-%s]", option.option, option.option, option.option);
        } else {
            std::fprintf(out, " [--%s %d-%d]", option.option, int(setting.minimum), int(setting.maximum));
        }
    }
    std::fputs("\n", out);
}
