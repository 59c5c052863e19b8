#include "x11/display_scale.h"

#include <cstdlib>
#include <cstring>

double ScaleFromResources(const char* resources)
{
    static const char kName[] = "Xft.dpi:";
    double scale = 1.0;
    // As in the resource database itself, a later line overrides an earlier one.
    for (const char* line = resources; line && *line;) {
        if (std::strncmp(line, kName, sizeof kName - 1) == 0) {
            const double dpi = std::strtod(line + sizeof kName - 1, nullptr);
            // The comparisons also refuse what is no number at all (NaN).
            scale = dpi > 96.0 && dpi <= 96.0 * 16 ? dpi / 96.0 : 1.0;
        }
        line = std::strchr(line, '\n');
        if (line) ++line;
    }
    return scale;
}

double DisplayScale(Display* display) { return ScaleFromResources(XResourceManagerString(display)); }
