#include "app/mode.h"

#include <cctype>
#include <cstring>

namespace {

char CharAt(const char* text, size_t index)
{
    return index < std::strlen(text) ? text[index] : '\0';
}

bool EqualsIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    }
    return *a == *b;
}

}  // namespace

SaverMode SelectMode(int argc, const char* const* argv)
{
    if (argc <= 1 || !argv || !argv[1]) return SaverMode::Configure;
    const char* arg = argv[1];

    if (CharAt(arg, 1) == 'c') return SaverMode::Configure;
    if (CharAt(arg, 0) == 'c') return SaverMode::Configure;
    const char* switchName = (arg[0] == '-' || arg[0] == '/') ? arg + 1 : arg;
    if (EqualsIgnoringCase(switchName, "p")) return SaverMode::Preview;
    // The shell's "Test" verb and a double-click start a screensaver file
    // with an upper-case /S: the switch alone, not every argument with an S.
    if (std::strcmp(switchName, "S") == 0) return SaverMode::FullScreen;
    if (CharAt(arg, 1) == 's') return SaverMode::FullScreen;
    if (CharAt(arg, 0) == 's') return SaverMode::FullScreen;
    if (std::strcmp(arg, "-UNINSTALL") == 0) return SaverMode::Uninstall;
    return SaverMode::None;
}

int32_t ParseWindowHandle(const char* text)
{
    if (!text) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX) {
            value = negative ? int64_t(INT32_MAX) + 1 : INT32_MAX;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

int32_t ConfigureOwnerHandle(const char* argument)
{
    if (!argument) return 0;
    if (*argument == '-' || *argument == '/') ++argument;
    return argument[0] == 'c' && argument[1] == ':' ? ParseWindowHandle(argument + 2) : 0;
}
