#include "settings/version_text.h"

#include "settings/format_text.h"

void FormatVersionNumbers(uint32_t versionMS, uint32_t versionLS, char (&text)[32])
{
    const unsigned parts[4] = {versionMS >> 16, versionMS & 0xFFFF, versionLS >> 16, versionLS & 0xFFFF};
    if (parts[3] != 0) {
        FormatText(text, "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
    } else if (parts[2] != 0) {
        FormatText(text, "%u.%u.%u", parts[0], parts[1], parts[2]);
    } else {
        FormatText(text, "%u.%u", parts[0], parts[1]);
    }
}
