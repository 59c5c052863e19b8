// The self-deleting batch file that removes the installed screensaver once
// the running program has ended. Pure logic, no Win32.
#pragma once
#include <cstddef>

// The batch deletes the executable, and while that is refused (the program
// has not ended yet) pauses about a second and tries again, 30 times at most:
// a file that can never be deleted must not keep a hidden command
// interpreter busy for ever. Then it deletes itself, whether or not the
// executable is gone.
constexpr int kUninstallBatchLineCount = 10;

// Line `index` (0 to kUninstallBatchLineCount - 1) of the batch file for the
// executable at `path`, ending in CR LF, written into `out` with a
// terminator. The path is inserted unchanged, in double quotes. Returns the
// line's length, or 0 when the index is out of range or the line does not
// fit into `size` bytes.
std::size_t UninstallBatchLine(int index, const char* path, char* out, std::size_t size);
