// Writes the programs' manual pages, velloransaver.6x and velloransaver-wayland.6
// (run by the build), from the same option table as the usage line and the
// settings file, so that a page cannot name an option, range or default the
// program does not have.
#include <cctype>
#include <cstdio>
#include <string>

#include "linux/description.h"
#include "linux/options.h"
#include "sim/settings_reader.h"

namespace {

// Text for roff: backslashes kept, dashes as minus signs (so that options can
// be searched for and copied), and no line that roff would take for a request.
std::string Roff(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string Sentence(const char* help)
{
    std::string text = help;
    if (!text.empty()) text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

void WriteSynopsis(std::FILE* out, const LinuxProgram& program)
{
    std::fprintf(out, ".SH SYNOPSIS\n.B %s\n[\\fB\\-\\-help\\fR]%s%s\n", Roff(program.name).c_str(),
                 program.windowOptions ? " [\\fB\\-\\-root\\fR | \\fB\\-\\-window\\-id\\fR \\fIid\\fR]" : "",
                 program.idleOption ? " [\\fB\\-\\-on\\-idle\\fR \\fIseconds\\fR]" : "");
    for (const Setting& option : kBoardSettings) {
        const std::string name = Roff(option.option);
        if (IsList(IdOf(option))) {
            std::fprintf(out, "[\\fB\\-\\-%s\\fR | \\fB\\-\\-no\\-%s\\fR | \\fB\\-\\-random\\-%s\\fR]\n", name.c_str(),
                         name.c_str(), name.c_str());
        } else {
            std::fprintf(out, "[\\fB\\-\\-%s\\fR \\fIn\\fR]\n", name.c_str());
        }
    }
}

void WriteOption(std::FILE* out, const Setting& option)
{
    const Setting& setting = option;
    const std::string name = Roff(option.option), help = Roff(Sentence(option.meaning));
    if (IsList(IdOf(option))) {
        std::fprintf(out, ".TP\n.BR \\-\\-%s \", \" \\-\\-no\\-%s \", \" \\-\\-random\\-%s\n", name.c_str(), name.c_str(),
                     name.c_str());
        // In the order of the flags above, which is not the order of the stored values.
        std::fprintf(out, "%s: %s, %s, or decided anew for each scene (%s in the settings dialog). Default: \\fB\\-\\-%s%s\\fR.\n",
                     help.c_str(), option.items[1], option.items[0], option.items[2], Roff(kChoicePrefixes[setting.defaultValue]).c_str(),
                     name.c_str());
        return;
    }
    std::fprintf(out, ".TP\n.BI \\-\\-%s \" n\"\n%s; %d to %d, default %d.\n", name.c_str(), help.c_str(), int(setting.minimum),
                 int(setting.maximum), int(setting.defaultValue));
}

// One dash or two, --help, the window options where the front end has them,
// then every option of the table.
void WriteOptions(std::FILE* out, const LinuxProgram& program)
{
    std::fputs(".SH OPTIONS\n"
               "Every option may be given with one dash or two.\n"
               "A number outside its range is brought into it.\n"
               ".TP\n"
               ".B \\-\\-help\n"
               "Print the usage on standard output and end.\n",
               out);
    if (program.windowOptions) {
        std::fputs(".TP\n"
                   ".B \\-\\-root\n"
                   "Draw on the root window.\n"
                   ".TP\n"
                   ".BI \\-\\-window\\-id \" id\"\n"
                   "Draw into the window with this id, decimal or hexadecimal with \\fB0x\\fR; it wins over \\fB\\-\\-root\\fR.\n",
                   out);
    }
    for (const Setting& option : kBoardSettings) WriteOption(out, option);
}

void WriteManualPage(std::FILE* out, const char* version)
{
    std::fprintf(out,
                 ".TH VELLORANSAVER 6x \"\" \"Velloran Saver %s\" \"XScreenSaver\"\n"
                 ".SH NAME\n"
                 "velloransaver \\- balls falling through a field of pins, for XScreenSaver\n",
                 Roff(version).c_str());
    WriteSynopsis(out, kX11Program);
    std::fprintf(out,
                 ".SH DESCRIPTION\n"
                 "%s"
                 ".PP\n"
                 "The XScreenSaver daemon starts it with \\fB\\-\\-root\\fR and names the window to draw in by\n"
                 "\\fBXSCREENSAVER_WINDOW\\fR.\n"
                 "Started by hand without a window to draw in, it opens a window of its own,\n"
                 "which any key or the window manager's close button ends.\n"
                 "It follows its window's size (a new size gets a new scene) and ends on SIGTERM.\n"
                 ".PP\n"
                 "The daemon has no list that packages can add to: to add the program to yours,\n"
                 "add this line to the \\fBprograms:\\fR list in \\fI~/.xscreensaver\\fR\n"
                 "(which \\fBxscreensaver\\-settings\\fR writes the first time it saves),\n"
                 "with the other entries' layout, and restart the daemon:\n"
                 ".PP\n"
                 ".EX\n"
                 "    \"Velloran Saver\"  velloransaver \\-\\-root  \\en\\e\n"
                 ".EE\n",
                 Roff(kProgramDescription).c_str());
    WriteOptions(out, kX11Program);
    std::fputs(".SH ENVIRONMENT\n"
               ".TP\n"
               ".B XSCREENSAVER_WINDOW\n"
               "The window to draw in, set by the daemon; it wins over the options.\n"
               ".TP\n"
               ".B DISPLAY\n"
               "The X server to draw on.\n"
               ".SH \"EXIT STATUS\"\n"
               "0 when it was ended, 1 when it could not draw (no display, no such window),\n"
               "2 for a malformed command line, after one line of usage on the standard error.\n"
               ".SH \"SEE ALSO\"\n"
               ".BR xscreensaver (1),\n"
               ".BR xscreensaver\\-settings (1),\n"
               ".BR xscreensaver\\-command (1)\n",
               out);
}

void WriteWaylandPage(std::FILE* out, const char* version)
{
    std::fprintf(out,
                 ".TH VELLORANSAVER\\-WAYLAND 6 \"\" \"Velloran Saver %s\" \"Games Manual\"\n"
                 ".SH NAME\n"
                 "velloransaver\\-wayland \\- balls falling through a field of pins, for Wayland desktops\n",
                 Roff(version).c_str());
    WriteSynopsis(out, kWaylandProgram);
    std::fprintf(out,
                 ".SH DESCRIPTION\n"
                 "%s"
                 ".PP\n"
                 "It covers every output with a fullscreen surface, each with a board of its own at the\n"
                 "output's size and scale, and follows outputs that come or go; with none, it waits for one.\n"
                 "It ends on a key, a mouse button or a move of the pointer (not on the wheel),\n"
                 "when the compositor closes it, and on SIGTERM or SIGINT.\n"
                 ".PP\n"
                 "An idle daemon makes it the screensaver. For \\fBswayidle\\fR, after five minutes:\n"
                 ".PP\n"
                 ".EX\n"
                 "    swayidle timeout 300 velloransaver\\-wayland\n"
                 ".EE\n"
                 ".PP\n"
                 "For \\fBhypridle\\fR, in \\fI~/.config/hypr/hypridle.conf\\fR:\n"
                 ".PP\n"
                 ".EX\n"
                 "    listener {\n"
                 "        timeout = 300\n"
                 "        on\\-timeout = velloransaver\\-wayland\n"
                 "    }\n"
                 ".EE\n"
                 ".PP\n"
                 "With \\fB\\-\\-on\\-idle\\fR \\fIseconds\\fR (1 to 86400) it needs no idle daemon: it runs with the\n"
                 "session, shows the boards each time the seat has had no input for that long, ends each showing\n"
                 "as above, and ends itself only on SIGTERM or SIGINT. The compositor tells it when the seat is\n"
                 "idle (\\fBext_idle_notifier_v1\\fR or \\fBorg_kde_kwin_idle\\fR); on GNOME, mutter's idle monitor\n"
                 "on the session bus does. The package's user unit runs it so, after five minutes, for a user who\n"
                 "enables it:\n"
                 ".PP\n"
                 ".EX\n"
                 "    systemctl \\-\\-user enable \\-\\-now velloransaver\\-wayland.service\n"
                 ".EE\n",
                 Roff(kProgramDescription).c_str());
    WriteOptions(out, kWaylandProgram);
    std::fputs(".SH ENVIRONMENT\n"
               ".TP\n"
               ".B WAYLAND_DISPLAY\n"
               "The compositor to draw on, a socket in \\fBXDG_RUNTIME_DIR\\fR.\n"
               ".SH \"EXIT STATUS\"\n"
               "0 when it was ended by input or closed by the compositor; 1 when it could not draw\n"
               "(no compositor, one that lacks what it needs, no shared memory for a picture, or, for\n"
               "\\fB\\-\\-on\\-idle\\fR, no way to learn of idle times)\n"
               "or lost the compositor;\n"
               "2 for a malformed command line, after one line of usage on the standard error.\n"
               "Stopped by SIGTERM or SIGINT, it ends by that signal.\n"
               ".SH \"SEE ALSO\"\n"
               ".BR swayidle (1),\n"
               ".BR velloransaver (6x)\n",
               out);
}

}  // namespace

// FILE VERSION [wayland]: the X11 program's page, or the Wayland program's.
int main(int argc, char** argv)
{
    const bool wayland = argc == 4 && std::string(argv[3]) == "wayland";
    std::FILE* out = argc == 3 || wayland ? std::fopen(argv[1], "w") : nullptr;
    if (!out) {
        std::fprintf(stderr, "usage: velloransaver-manual FILE VERSION [wayland]\n");
        return 2;
    }
    wayland ? WriteWaylandPage(out, argv[2]) : WriteManualPage(out, argv[2]);
    return std::fclose(out) == 0 ? 0 : 1;
}
