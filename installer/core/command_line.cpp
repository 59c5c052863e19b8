#include "command_line.h"

bool HasSilentSwitch(const char* arguments)
{
    const char* p = arguments ? arguments : "";
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        const char* word = p;
        while (*p && *p != ' ' && *p != '\t') ++p;
        if (p - word == 2 && word[0] == '/' && (word[1] == 'S' || word[1] == 's')) return true;
    }
    return false;
}
