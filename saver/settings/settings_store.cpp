#include "settings/settings_store.h"

const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field)
{
    for (int i = 0; i < kStoredSettingCount; ++i) {
        if (kSettingFields[i] == field) return kStoredSettings[i];
    }
    // Every field has an entry; reaching this is a programming error.
    return kStoredSettings[0];
}

uint32_t ClampStoredSetting(SettingId which, uint32_t stored)
{
    const int32_t value = static_cast<int32_t>(stored);
    if (which == kSymmetry || which == kSparks) return (value == 0 || value == 2) ? stored : 1;
    const StoredSetting& setting = kStoredSettings[which];
    return static_cast<uint32_t>(value < setting.minimum ? setting.minimum
                                 : value > setting.maximum ? setting.maximum : value);
}
