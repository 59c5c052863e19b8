// Recording the uninstall entry so that the system's list of programs never
// shows one that cannot uninstall. The registry is reached through EntryKey,
// an open key that the caller has just created.
#pragma once

class EntryKey {
public:
    virtual ~EntryKey() = default;
    virtual bool SetString(const char* name, const char* value) = 0;
    virtual void Remove() = 0;  // deletes the key again
};

// Sets DisplayName, then UninstallString (there is none to set when command
// is null). When either is not recorded, the key is removed again, so that
// no name stands in the list without its command. True when both are set.
bool RecordUninstallEntry(EntryKey& key, const char* displayName, const char* command);

