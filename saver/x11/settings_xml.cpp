// Writes the settings file of the daemon's settings dialog (run by the build).
#include <cstdio>

#include "x11/options.h"

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
