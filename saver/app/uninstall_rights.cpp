#include "app/uninstall_rights.h"

bool NeedsElevation(Elevation token, long entryResult, long batchResult)
{
    return token == Elevation::Limited && (entryResult == kAccessDenied || batchResult == kAccessDenied);
}
