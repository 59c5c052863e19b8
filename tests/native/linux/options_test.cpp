#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "linux/options.h"

namespace {

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream split(text);
    return {std::istream_iterator<std::string>(split), std::istream_iterator<std::string>()};
}

// The target, then the nine settings in stored order; or the argument refused.
std::string Parse(const std::string& options, const char* screensaverWindow = nullptr, const LinuxProgram& program = kX11Program)
{
    const std::vector<std::string> words = Words("velloransaver " + options);
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    CommandLine line;
    if (!ParseCommandLine(int(argv.size()), argv.data(), screensaverWindow, line, program)) return "refused " + line.refused;
    std::string text = line.target == DrawTarget::OwnWindow ? "own" : line.target == DrawTarget::Root ? "root" : "";
    if (text.empty()) text = (std::ostringstream() << std::hex << std::showbase << line.window).str();
    for (uint32_t value : line.settings) text += " " + std::to_string(value);
    return line.onIdle ? text + " idle " + std::to_string(line.onIdle) : text;
}

TEST(CommandLine, TakesTheSettingsAsTheDialogKeepsThemAndNamesWhatItRefuses)
{
    const struct { const char *options, *screensaverWindow, *parsed; } cases[] = {
        // Sliders of different ranges held at their ends, from below and above, and beyond 32 bits by numbers that
        // cut to 32 bits would land elsewhere.
        {"--num-balls 0 -num-pins 3 --gravity -4294967200", nullptr, "own 1 4 30 8 1 1 20 18 1"},
        {"--ball-size 201 --pin-size 4294967297 --refresh-rate +128", nullptr, "own 3 40 200 200 1 20 20 127 1"},
        {"-random-symmetry --no-sparks --sparks --symmetry", nullptr, "own 3 40 30 8 1 20 20 18 1"},
        {"--root --window-id 0x2a", nullptr, "0x2a 3 40 30 8 1 20 20 18 1"},
        {"--window-id 42 --root", "0x400007", "0x400007 3 40 30 8 1 20 20 18 1"},
        {"--root", "", "root 3 40 30 8 1 20 20 18 1"},
        {"root", nullptr, "refused root"},
        {"--num-balls", nullptr, "refused --num-balls"},
        {"--no-gravity", nullptr, "refused --no-gravity"},
        {"--window-id 0x100000000", nullptr, "refused --window-id 0x100000000"},
        {"--root", "window", "refused XSCREENSAVER_WINDOW=window"},
        {"--on-idle 300", nullptr, "refused --on-idle"},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.options, c.screensaverWindow), c.parsed) << c.options;
    // The Wayland program's idle time: whole seconds, from one to a day; it has no window to be given.
    for (const auto& [options, parsed] : {std::pair{"--on-idle 86400", "own 3 40 30 8 1 20 20 18 1 idle 86400"},
                                          {"--on-idle 0", "refused --on-idle 0"}, {"--on-idle 86401", "refused --on-idle 86401"},
                                          {"--root", "refused --root"}})
        EXPECT_EQ(Parse(options, nullptr, kWaylandProgram), parsed) << options;
}

// What the daemon's settings dialog offers.
TEST(SettingsFile, DefaultsAreTheProgramsAndEveryArgumentItCanProduceMeansItsValue)
{
    const std::string xml = (std::ostringstream() << std::ifstream(VELLORAN_X11_XML).rdbuf()).str();
    std::map<std::string, size_t> indexOf;
    for (const Setting& option : kBoardSettings) indexOf[option.option] = size_t(IdOf(option)) + 1;
    std::vector<std::string> defaults(kBoardSettingCount + 1, "none"), program = Words(Parse(""));
    defaults[0] = program[0];
    const std::regex element(R"(<(select|number|option)\b([^>]*)>)"), attribute(R"x(([-\w]+)="([^"]*)")x");
    std::string list;
    for (std::sregex_iterator e(xml.begin(), xml.end(), element), end; e != end; ++e) {
        std::map<std::string, std::string> a;
        const std::string kind = (*e)[1], text = (*e)[2];
        for (std::sregex_iterator m(text.begin(), text.end(), attribute); m != end; ++m) a[(*m)[1]] = (*m)[2];
        if (kind == "select") list = a["id"];
        const size_t index = indexOf[kind == "option" ? list : a["id"]];
        // Each value with the argument that selects it: a slider's ends and default, or a list's items.
        std::map<std::string, std::string> arguments;
        if (kind == "number") {
            defaults[index] = a["default"];
            for (const char* end : {"low", "default", "high"}) arguments[a[end]] = std::regex_replace(a["arg"], std::regex("%"), a[end]);
        } else if (kind == "option") {
            const std::string item = a["_label"].substr(a["_label"].rfind(": ") + 2);
            const std::string value = item == "No" ? "0" : item == "Yes" ? "1" : item == "Whatever" ? "2" : item;
            (a.count("arg-set") ? arguments[value] : defaults[index]) = a.count("arg-set") ? a["arg-set"] : value;
        }
        for (const auto& [value, argument] : arguments) {
            const std::vector<std::string> parsed = Words(Parse(argument));
            EXPECT_EQ(parsed.size() > index ? parsed[index] : parsed.back(), value) << argument;
        }
    }
    EXPECT_EQ(defaults, program);
}

}  // namespace
