#include "app/uninstall_rights.h"

#include <cstring>

const char kElevatedRestartArguments[] = "-UNINSTALL -RESTARTED";

bool NeedsElevation(int argc, const char* const* argv, Elevation token, long entryResult, long batchResult)
{
    const char* marker = std::strchr(kElevatedRestartArguments, ' ') + 1;
    const bool restarted = argc > 2 && argv[2] && std::strcmp(argv[2], marker) == 0;
    return !restarted && token == Elevation::Limited && (entryResult == kAccessDenied || batchResult == kAccessDenied);
}
