#include "settings/settings_store.h"

const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field)
{
    for (const StoredSetting& setting : kStoredSettings) {
        if (setting.field == field) return setting;
    }
    // Every field has an entry; reaching this is a programming error.
    return kStoredSettings[0];
}

SaverSettings LoadSettings(SettingsProfile& profile)
{
    SaverSettings settings;
    for (const StoredSetting& setting : kStoredSettings) {
        // The stored DWORD is taken bit for bit as a signed value.
        settings.*setting.field = static_cast<int32_t>(profile.Read(setting.name, setting.defaultValue));
    }
    return settings;
}

void StoreSettings(SettingsProfile& profile, const SaverSettings& settings)
{
    for (const StoredSetting& setting : kStoredSettings) profile.Write(setting.name, settings.*setting.field);
}
