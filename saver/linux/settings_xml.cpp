// Writes the settings file of the daemon's settings dialog (run by the build).
//
// The dialog stacks a file's controls in one column unless the file groups
// them; nine controls in one column are taller than a 768-pixel screen. So
// the sliders are shared out between two columns, the first half on the left,
// and the two lists go under the right-hand ones, which leaves both columns
// about as tall.
#include <cstdio>

#include "linux/description.h"
#include "linux/options.h"
#include "settings/option_rules.h"
#include "settings/settings_table.h"

namespace {

void WriteControl(std::FILE* out, const Setting& option)
{
    const Setting& setting = option;
    if (IsList(IdOf(option))) {
        // The item without an argument is the default, as the daemon's dialog expects.
        std::fprintf(out, "      <select id=\"%s\">\n", option.option);
        for (int v = 0; v < 3; ++v) {
            std::fprintf(out, "        <option id=\"%s%s\" _label=\"%s: %s\"", kChoicePrefixes[v], option.option, option.label,
                         option.items[v]);
            if (v != setting.defaultValue) std::fprintf(out, " arg-set=\"--%s%s\"", kChoicePrefixes[v], option.option);
            std::fputs("/>\n", out);
        }
        std::fputs("      </select>\n", out);
        return;
    }
    // The ends of a slider are labelled as the options dialog labels its values.
    const SettingKind format = option.kind;
    char low[32], high[32];
    FormatSliderLabel(format, setting.minimum, low);
    FormatSliderLabel(format, setting.maximum, high);
    std::fprintf(out,
                 "      <number id=\"%s\" type=\"slider\" arg=\"--%s %%\"\n"
                 "              _label=\"%s\" _low-label=\"%s\" _high-label=\"%s\"\n"
                 "              low=\"%d\" high=\"%d\" default=\"%d\"/>\n",
                 option.option, option.option, option.label, low, high, int(setting.minimum), int(setting.maximum),
                 int(setting.defaultValue));
}

void WriteSettingsXml(std::FILE* out)
{
    int sliders = 0;
    for (const Setting& option : kBoardSettings) sliders += !IsList(IdOf(option));
    const int leftSliders = (sliders + 1) / 2;

    std::fputs("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
               "<screensaver name=\"velloransaver\" _label=\"Velloran Saver\">\n\n"
               "  <command arg=\"--root\"/>\n\n"
               "  <hgroup>\n"
               "    <vgroup>\n",
               out);
    int slider = 0;
    for (const Setting& option : kBoardSettings) {
        if (!IsList(IdOf(option)) && slider++ < leftSliders) WriteControl(out, option);
    }
    std::fputs("    </vgroup>\n"
               "    <vgroup>\n",
               out);
    slider = 0;
    for (const Setting& option : kBoardSettings) {
        if (!IsList(IdOf(option)) && slider++ >= leftSliders) WriteControl(out, option);
    }
    for (const Setting& option : kBoardSettings) {
        if (IsList(IdOf(option))) WriteControl(out, option);
    }
    std::fprintf(out,
                 "    </vgroup>\n"
                 "  </hgroup>\n\n"
                 "  <_description>\n%s  </_description>\n"
                 "</screensaver>\n",
                 kProgramDescription);
}

}  // namespace

int main(int argc, char** argv)
{
    std::FILE* out = argc == 2 ? std::fopen(argv[1], "w") : nullptr;
    if (!out) {
        std::fprintf(stderr, "usage: velloransaver-xml FILE\n");
        return 2;
    }
    WriteSettingsXml(out);
    return std::fclose(out) == 0 ? 0 : 1;
}
