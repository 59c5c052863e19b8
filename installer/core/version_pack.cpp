#include "version_pack.h"

#include <cstdio>
#include <cstring>

std::uint32_t PackFileVersion(char* text)
{
    std::uint32_t packed = 0;
    int components = 0;
    char* cursor = text;
    while (components < 4) {
        char* end = cursor + std::strcspn(cursor, ".,");
        const bool lastComponent = (*end == '\0');
        *end = '\0';
        int value = 0;
        if (std::sscanf(cursor, "%i", &value) != 1) break;
        packed = (packed << 8) + (static_cast<std::uint32_t>(value) & 0xFF);
        ++components;
        if (lastComponent) break;
        cursor = end + 1;
    }
    // One shift per missing component rather than one shift by their total:
    // a text without any number would otherwise shift by 32 bits.
    for (; components < 4; ++components) packed <<= 8;
    return packed;
}

bool FormatDisplayVersion(std::uint32_t packed, char* out, std::size_t size)
{
    if (size == 0) return false;
    const unsigned major = (packed >> 24) & 0xFF, minor = (packed >> 16) & 0xFF,
                   build = (packed >> 8) & 0xFF, revision = packed & 0xFF;
    const int len = revision != 0
        ? std::snprintf(out, size, "%u.%u.%u.%u", major, minor, build, revision)
        : std::snprintf(out, size, "%u.%u.%u", major, minor, build);
    if (len < 0 || static_cast<std::size_t>(len) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}
