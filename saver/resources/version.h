// The screensaver's version. The installer compares the "FileVersion" text of
// the installed copy with the one it carries, so both forms must agree.
// Test builds override these to make older or newer copies.
#pragma once

#ifndef VELLORAN_VERSION_BINARY
#define VELLORAN_VERSION_BINARY 1,0,1,0
#define VELLORAN_VERSION_TEXT   "1, 0, 1, 0"
#endif
