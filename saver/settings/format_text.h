// sprintf for the dialogs' texts. On Windows it is the system C runtime's
// own, which the screensaver imports anyway: once a C++ library header is
// included, mingw routes sprintf to its C99 replacement, 26 KB of code that
// formats these texts no differently.
#pragma once
#include <cstdio>

#ifdef _WIN32
#define FormatText __ms_sprintf
#else
#define FormatText std::sprintf
#endif
