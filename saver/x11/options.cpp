#include "x11/options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "settings/option_rules.h"
#include "settings/settings_store.h"

// In the order of the stored settings; each name is its registry value's.
const X11Option kX11Options[kBoardSettingCount] = {
    {kNumBalls, "num-balls", "Balls: Number"},
    {kNumPins, "num-pins", "Pins: Number"},
    {kBallSize, "ball-size", "Balls: Radius"},
    {kPinSize, "pin-size", "Pins: Radius"},
    {kSymmetry, "symmetry", "Symmetric Pins"},
    {kGravity, "gravity", "Gravity"},
    {kScenarioCounter, "scenario-counter", "Scene Duration"},
    {kRefreshRate, "refresh-rate", "Refresh Rate"},
    {kSparks, "sparks", "Sparks"},
};

namespace {

// The lists' items, in the order of their stored values, and the prefix that
// selects each on the command line.
const char* const kListItems[] = {"No", "Yes", "Whatever"};
const char* const kListPrefixes[] = {"no-", "", "random-"};

bool IsList(SettingId which) { return which == kSymmetry || which == kSparks; }

// How the options dialog labels a slider's values.
LabelFormat FormatOf(SettingId which)
{
    for (const SliderBinding& binding : kSliderBindings) {
        if (&StoredSettingOf(binding.field) == &kStoredSettings[which]) return binding.format;
    }
    return LabelFormat::Count;
}

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
    for (const X11Option& option : kX11Options) {
        if (!IsList(option.setting)) continue;
        for (uint32_t v = 0; v < 3; ++v) {
            const size_t prefix = std::strlen(kListPrefixes[v]);
            if (std::strncmp(flag, kListPrefixes[v], prefix) == 0 && std::strcmp(flag + prefix, option.name) == 0) {
                which = option.setting;
                value = v;
                return true;
            }
        }
    }
    return false;
}

const X11Option* FindSlider(const char* name)
{
    for (const X11Option& option : kX11Options) {
        if (!IsList(option.setting) && std::strcmp(name, option.name) == 0) return &option;
    }
    return nullptr;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const argv[], const char* screensaverWindow, CommandLine& line)
{
    for (int i = 0; i < kBoardSettingCount; ++i) line.settings[i] = uint32_t(kStoredSettings[i].defaultValue);
    bool root = false, haveId = false;
    unsigned long id = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') return false;
        const char* name = arg + (arg[1] == '-' ? 2 : 1);
        SettingId which;
        uint32_t listValue;
        if (std::strcmp(name, "root") == 0) {
            root = true;
        } else if (std::strcmp(name, "window-id") == 0) {
            if (!ParseWindowId(i + 1 < argc ? argv[++i] : nullptr, id)) return false;
            haveId = true;
        } else if (MatchListFlag(name, which, listValue)) {
            line.settings[which] = listValue;
        } else if (const X11Option* option = FindSlider(name)) {
            int32_t value;
            if (!ParseNumber(i + 1 < argc ? argv[++i] : nullptr, value)) return false;
            line.settings[option->setting] = ClampStoredSetting(option->setting, uint32_t(value));
        } else {
            return false;
        }
    }
    line.target = DrawTarget::OwnWindow;
    if (screensaverWindow && *screensaverWindow) {
        if (!ParseWindowId(screensaverWindow, id)) return false;
        line.target = DrawTarget::Window;
    } else if (haveId) {
        line.target = DrawTarget::Window;
    } else if (root) {
        line.target = DrawTarget::Root;
    }
    line.window = line.target == DrawTarget::Window ? id : 0;
    return true;
}

void PrintUsage(std::FILE* out)
{
    std::fputs("usage: velloransaver [--root | --window-id ID]", out);
    for (const X11Option& option : kX11Options) {
        const StoredSetting& setting = kStoredSettings[option.setting];
        if (IsList(option.setting)) {
            std::fprintf(out, " [--%s | --no-%s | --random-%s]", option.name, option.name, option.name);
        } else {
            std::fprintf(out, " [--%s %d-%d]", option.name, int(setting.minimum), int(setting.maximum));
        }
    }
    std::fputs("\n", out);
}

void WriteSettingsXml(std::FILE* out)
{
    std::fputs("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
               "<screensaver name=\"velloransaver\" _label=\"Velloran Saver\">\n\n"
               "  <command arg=\"--root\"/>\n\n",
               out);
    for (const X11Option& option : kX11Options) {
        const StoredSetting& setting = kStoredSettings[option.setting];
        if (IsList(option.setting)) {
            // The item without an argument is the default, as the daemon's dialog expects.
            std::fprintf(out, "  <select id=\"%s\">\n", option.name);
            for (int v = 0; v < 3; ++v) {
                std::fprintf(out, "    <option id=\"%s%s\" _label=\"%s: %s\"", kListPrefixes[v], option.name,
                             option.label, kListItems[v]);
                if (v != setting.defaultValue) std::fprintf(out, " arg-set=\"--%s%s\"", kListPrefixes[v], option.name);
                std::fputs("/>\n", out);
            }
            std::fputs("  </select>\n\n", out);
            continue;
        }
        // The ends of a slider are labelled as the options dialog labels its values.
        const LabelFormat format = FormatOf(option.setting);
        char low[32], high[32];
        FormatSliderLabel(format, setting.minimum, low);
        FormatSliderLabel(format, setting.maximum, high);
        std::fprintf(out,
                     "  <number id=\"%s\" type=\"slider\" arg=\"--%s %%\"\n"
                     "          _label=\"%s\" _low-label=\"%s\" _high-label=\"%s\"\n"
                     "          low=\"%d\" high=\"%d\" default=\"%d\"/>\n\n",
                     option.name, option.name, option.label, low, high, int(setting.minimum), int(setting.maximum),
                     int(setting.defaultValue));
    }
    std::fputs("  <_description>\n"
               "Coloured balls fall through a random field of grey pins, bounce off them,\n"
               "off each other and off the walls, throw white sparks at every contact and\n"
               "wrap from the bottom of the screen back to the top. Balls that get stuck\n"
               "on a pin knock it out.\n"
               "  </_description>\n"
               "</screensaver>\n",
               out);
}
