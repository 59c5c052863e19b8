#include "settings/version_text.h"

#include <cstdio>

std::string FormatVersionNumbers(uint32_t versionMS, uint32_t versionLS)
{
    const unsigned parts[4] = {versionMS >> 16, versionMS & 0xFFFF, versionLS >> 16, versionLS & 0xFFFF};
    char text[32];
    if (parts[3] != 0) {
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
    } else if (parts[2] != 0) {
        std::snprintf(text, sizeof text, "%u.%u.%u", parts[0], parts[1], parts[2]);
    } else {
        std::snprintf(text, sizeof text, "%u.%u", parts[0], parts[1]);
    }
    return text;
}
