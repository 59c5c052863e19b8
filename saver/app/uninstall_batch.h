// The self-deleting batch file that removes the installed screensaver once
// the running program has ended. Pure logic, no Win32.
#pragma once
#include <string>

// Four CR LF lines: a label; delete the executable; loop while it still
// exists; delete the batch file itself. The path is inserted unchanged,
// in double quotes.
std::string UninstallBatchText(const std::string& executablePath);
