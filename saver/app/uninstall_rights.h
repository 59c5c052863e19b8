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

// True when a refused answer can be cured by elevation: the process is not
// elevated yet and one of the two was refused access. An elevated run never
// asks again, so the mode cannot keep restarting itself.
bool NeedsElevation(Elevation token, long entryResult, long batchResult);
