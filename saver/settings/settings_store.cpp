#include "settings/settings_store.h"

SettingId SettingIdOf(int32_t SaverSettings::*field)
{
    for (int i = 0; i < kStoredSettingCount; ++i) {
        if (kSettingFields[i] == field) return static_cast<SettingId>(i);
    }
    // Every field has an entry; reaching this is a programming error.
    return kNumBalls;
}

const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field) { return kStoredSettings[SettingIdOf(field)]; }

uint32_t ClampStoredSetting(SettingId which, uint32_t stored)
{
    const int32_t value = static_cast<int32_t>(stored);
    if (which == kSymmetry || which == kSparks) return (value == 0 || value == 2) ? stored : 1;
    const StoredSetting& setting = kStoredSettings[which];
    return static_cast<uint32_t>(value < setting.minimum ? setting.minimum
                                 : value > setting.maximum ? setting.maximum : value);
}

ResolvedSetting ResolveSetting(SettingId which, const SettingLevels& levels)
{
    if (levels.policy) return {ClampStoredSetting(which, *levels.policy), true};
    if (levels.user) return {*levels.user, false};
    if (levels.machine) return {ClampStoredSetting(which, *levels.machine), false};
    return {static_cast<uint32_t>(kStoredSettings[which].defaultValue), false};
}
