// The self-deleting batch file that removes the installed screensaver once
// the running program has ended. Pure logic, no Win32.
#pragma once
#include <cstddef>

// What the batch works on. Each text goes in as it is, in double quotes,
// with every % doubled, so that the command interpreter reads it literally,
// in the batch's code page (the console's).
struct UninstallBatch {
    const char* program;    // the executable to delete
    const char* systemDir;  // where PING.EXE and REG.EXE live: named in full, never looked up
    const char* entryKey;   // the uninstall entry as REG.EXE names it, or null to leave the registry alone
};

// The batch deletes the program (read-only or not), and while that is refused
// (the program, a preview or another session's saver still holds it) pauses
// about a second and tries again, this many times at most: a file that can
// never be deleted must not keep a hidden command interpreter busy for ever.
// Only once the program is gone does it delete the entry, so that an
// uninstall that gives up leaves both, to be tried again; and it starts only
// when REG.EXE answers at all. Then it deletes itself. It needs command extensions; the caller turns them on.
constexpr int kUninstallBatchTries = 30;

// The name by which the batch deletes the program and nothing else: the
// short form when it is plain ASCII, else the long path when the batch's code
// page holds it exactly (null when it does not), else null: DEL takes a ? or
// * as a wildcard, and a name that is only nearly right may be another file's.
// Without a name there is no batch: the program and its entry stay, as when
// the file can never be deleted.
const char* ProgramNameForBatch(const char* shortPath, const char* exactLongPath);

// The whole batch, CR LF lines, written into `out` with a terminator.
// Returns its length, or 0 when it does not fit into `size` bytes or a text
// holds a double quote or a control character.
std::size_t UninstallBatchText(const UninstallBatch& batch, char* out, std::size_t size);
