#include "settings/settings_table.h"

uint32_t ClampStoredSetting(SettingId which, uint32_t stored)
{
    const int32_t value = static_cast<int32_t>(stored);
    const Setting& setting = kSettings[which];
    if (setting.kind == SettingKind::Choice) return (value == 0 || value == 2) ? stored : 1;
    return static_cast<uint32_t>(value < setting.minimum ? setting.minimum
                                 : value > setting.maximum ? setting.maximum : value);
}

ResolvedSetting ResolveSetting(SettingId which, const SettingLevels& levels)
{
    if (levels.policy) return {ClampStoredSetting(which, *levels.policy), true};
    if (levels.user) return {*levels.user, false};
    if (levels.machine) return {ClampStoredSetting(which, *levels.machine), false};
    return {static_cast<uint32_t>(kSettings[which].defaultValue), false};
}
