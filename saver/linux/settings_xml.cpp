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
#include "settings/settings_store.h"

namespace {

// How the options dialog labels a slider's values.
LabelFormat FormatOf(SettingId which)
{
    for (const SliderBinding& binding : kSliderBindings) {
        if (&StoredSettingOf(binding.field) == &kStoredSettings[which]) return binding.format;
    }
    return LabelFormat::Count;
}

void WriteControl(std::FILE* out, const ProgramOption& option)
{
    const StoredSetting& setting = kStoredSettings[option.setting];
    if (IsList(option.setting)) {
        // The item without an argument is the default, as the daemon's dialog expects.
        std::fprintf(out, "      <select id=\"%s\">\n", option.name);
        for (int v = 0; v < 3; ++v) {
            std::fprintf(out, "        <option id=\"%s%s\" _label=\"%s: %s\"", kListPrefixes[v], option.name, option.label,
                         kListItems[v]);
            if (v != setting.defaultValue) std::fprintf(out, " arg-set=\"--%s%s\"", kListPrefixes[v], option.name);
            std::fputs("/>\n", out);
        }
        std::fputs("      </select>\n", out);
        return;
    }
    // The ends of a slider are labelled as the options dialog labels its values.
    const LabelFormat format = FormatOf(option.setting);
    char low[32], high[32];
    FormatSliderLabel(format, setting.minimum, low);
    FormatSliderLabel(format, setting.maximum, high);
    std::fprintf(out,
                 "      <number id=\"%s\" type=\"slider\" arg=\"--%s %%\"\n"
                 "              _label=\"%s\" _low-label=\"%s\" _high-label=\"%s\"\n"
                 "              low=\"%d\" high=\"%d\" default=\"%d\"/>\n",
                 option.name, option.name, option.label, low, high, int(setting.minimum), int(setting.maximum),
                 int(setting.defaultValue));
}

void WriteSettingsXml(std::FILE* out)
{
    int sliders = 0;
    for (const ProgramOption& option : kProgramOptions) sliders += !IsList(option.setting);
    const int leftSliders = (sliders + 1) / 2;

    std::fputs("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n\n"
               "<screensaver name=\"velloransaver\" _label=\"Velloran Saver\">\n\n"
               "  <command arg=\"--root\"/>\n\n"
               "  <hgroup>\n"
               "    <vgroup>\n",
               out);
    int slider = 0;
    for (const ProgramOption& option : kProgramOptions) {
        if (!IsList(option.setting) && slider++ < leftSliders) WriteControl(out, option);
    }
    std::fputs("    </vgroup>\n"
               "    <vgroup>\n",
               out);
    slider = 0;
    for (const ProgramOption& option : kProgramOptions) {
        if (!IsList(option.setting) && slider++ >= leftSliders) WriteControl(out, option);
    }
    for (const ProgramOption& option : kProgramOptions) {
        if (IsList(option.setting)) WriteControl(out, option);
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
