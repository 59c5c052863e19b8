// The installer's command line: everything on it is ignored except the
// switch that administrators use for an unattended install.
#pragma once

// True when one of the blank-separated words of arguments (WinMain's command
// line, without the program's name) is /S or /s.
bool HasSilentSwitch(const char* arguments);
