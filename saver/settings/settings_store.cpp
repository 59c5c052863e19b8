#include "settings/settings_store.h"

const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field)
{
    for (int i = 0; i < kStoredSettingCount; ++i) {
        if (kSettingFields[i] == field) return kStoredSettings[i];
    }
    // Every field has an entry; reaching this is a programming error.
    return kStoredSettings[0];
}

SaverSettings LoadSettings(SettingsProfile& profile)
{
    SaverSettings settings;
    for (int i = 0; i < kStoredSettingCount; ++i) {
        // The stored DWORD is taken bit for bit as a signed value.
        const StoredSetting& setting = kStoredSettings[i];
        settings.*kSettingFields[i] = static_cast<int32_t>(profile.Read(setting.name, setting.defaultValue));
    }
    return settings;
}

void StoreSettings(SettingsProfile& profile, const SaverSettings& settings)
{
    for (int i = 0; i < kStoredSettingCount; ++i) profile.Write(kStoredSettings[i].name, settings.*kSettingFields[i]);
}
