#include "uninstall_entry.h"

bool RecordUninstallEntry(EntryKey& key, const char* displayName, const char* command)
{
    if (command && key.SetString("DisplayName", displayName) && key.SetString("UninstallString", command)) return true;
    key.Remove();
    return false;
}
