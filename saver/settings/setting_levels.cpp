#include "settings/setting_levels.h"

#include <windows.h>

#include <cstring>

namespace {

// Software\<prefix><root>\<app>\Settings; false when it does not fit.
bool SettingsKeyPath(const char* prefix, const char* root, const char* app, char (&path)[512])
{
    const char* parts[] = {"Software\\", prefix, root, "\\", app, "\\", kSettingsSection};
    size_t used = 0;
    for (const char* part : parts) {
        const size_t length = std::strlen(part);
        if (used + length >= sizeof path) return false;
        std::memcpy(path + used, part, length);
        used += length;
    }
    path[used] = '\0';
    return true;
}

std::optional<uint32_t> ReadDword(HKEY root, REGSAM view, const char* path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

}  // namespace

ResolvedSetting ReadResolvedSetting(const char* registryRoot, const char* appName, SettingId which)
{
    // HKEY_LOCAL_MACHINE\Software is seen through a 32-bit view by the 32-bit
    // program on 64-bit Windows, while the Group Policy client and the
    // administrator's regedit write the 64-bit one: read that one, so that
    // the machine default set there is the one used. Policies is shared by
    // both views, and 32-bit Windows ignores the flag.
    const char* name = kSettings[which].name;
    char policy[512], own[512];
    SettingLevels levels;
    if (SettingsKeyPath("", registryRoot, appName, own)) {
        levels.user = ReadDword(HKEY_CURRENT_USER, 0, own, name);
        levels.machine = ReadDword(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, own, name);
    }
    if (SettingsKeyPath("Policies\\", registryRoot, appName, policy))
        levels.policy = ReadDword(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, policy, name);
    return ResolveSetting(which, levels);
}
