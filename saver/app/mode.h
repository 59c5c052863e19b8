// Which mode a command line asks for. Pure logic, no Win32.
#pragma once
#include <cstdint>

enum class SaverMode { Configure, Preview, FullScreen, Uninstall, None };

// Decides from the argument vector (argv[0] is the program path). Only the
// first argument counts; characters compare case-sensitively except in the
// preview test and the shell's own /S, and a position beyond the end of the
// argument never matches.
SaverMode SelectMode(int argc, const char* const* argv);

// The preview host's window handle from the second argument: an optional sign
// after leading blanks, then decimal digits up to the first other character;
// no digits give 0. Values beyond 32 bits saturate instead of overflowing.
int32_t ParseWindowHandle(const char* text);

// The window that the configure switch names, as Screen Saver Settings passes
// its own: the handle after "c:" (after one leading "-" or "/"), read as
// ParseWindowHandle reads it; 0 for any other argument.
int32_t ConfigureOwnerHandle(const char* argument);
