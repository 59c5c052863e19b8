#include "settings/settings_store.h"

const SettingSpec& SpecOf(int32_t SaverSettings::*field)
{
    for (const SettingSpec& spec : kSettingSpecs) {
        if (spec.field == field) return spec;
    }
    // Every field has an entry; reaching this is a programming error.
    return kSettingSpecs[0];
}

SaverSettings LoadSettings(SettingsProfile& profile)
{
    SaverSettings settings;
    for (const SettingSpec& spec : kSettingSpecs) {
        // The stored DWORD is taken bit for bit as a signed value.
        settings.*spec.field = static_cast<int32_t>(profile.Read(spec.name, spec.defaultValue));
    }
    return settings;
}

void StoreSettings(SettingsProfile& profile, const SaverSettings& settings)
{
    for (const SettingSpec& spec : kSettingSpecs) profile.Write(spec.name, settings.*spec.field);
}
