// Whether the uninstall mode must start itself again with administrator
// rights. Pure logic, no Win32: the system's answers come in as numbers.
#pragma once

// What the process token says about elevation. Unknown where the system
// cannot say (no user account control): there is nothing to elevate to.
enum class Elevation { Unknown, Limited, Full };

// Win32 error numbers as they come back from the two things the uninstall
// mode needs: opening the uninstall entry for deletion, and creating the
// batch file in the Windows directory. 0 is success.
constexpr long kAccessDenied = 5;

// The arguments of the run that asks for rights: the switch, then a marker
// that mode selection never reads (only the first argument selects a mode).
extern const char kElevatedRestartArguments[];

// True when a refusal can be cured by elevation: the process is not elevated
// yet, one of the two was refused access, and this run is not itself the
// restart (argv[2] is not the marker). A restarted run can still be limited:
// with user account control switched off by policy a standard user gets the
// same token again, and a run that asked again would restart itself for ever.
bool NeedsElevation(int argc, const char* const* argv, Elevation token, long entryResult, long batchResult);
