// The options dialog's working copy of the stored settings, and the
// ranges the saver keeps them in.
#pragma once
#include <cstdint>

#include "sim/stored_settings.h"

// The options dialog's working copy, in the order the dialog holds them.
// Values are signed: a stored DWORD outside the dialog's ranges (-1 for a list
// without a selection, say) must survive a round trip unchanged.
struct SaverSettings {
    int32_t numBalls = 0;
    int32_t numPins = 0;
    int32_t ballSize = 0;
    int32_t pinSize = 0;
    int32_t gravity = 0;          // twentieths: 20 is a factor of 1.00
    int32_t scenarioCounter = 0;  // units of 600 animation steps
    int32_t refreshRate = 0;      // the animation period is this plus 1 ms
    int32_t symmetry = 0;         // 0 off, 1 on, 2 decided per scene
    int32_t sparks = 0;           // as symmetry
    int32_t monitors = 0;         // 0 a board on the primary monitor only, 1 on every one
};

// Where each stored setting lives in the working copy, in the order of kStoredSettings.
inline constexpr int32_t SaverSettings::*kSettingFields[] = {
    &SaverSettings::numBalls, &SaverSettings::numPins,         &SaverSettings::ballSize,
    &SaverSettings::pinSize,  &SaverSettings::symmetry,        &SaverSettings::gravity,
    &SaverSettings::scenarioCounter, &SaverSettings::refreshRate, &SaverSettings::sparks,
    &SaverSettings::monitors,
};
static_assert(sizeof kSettingFields / sizeof kSettingFields[0] == kStoredSettingCount,
              "every stored setting has a field");

// The stored setting that a field of the working copy holds.
const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field);

// A stored value as the saver uses it: within the range that the options
// dialog offers, the 32 bits taken as signed, as the dialog's sliders take
// them. The two lists keep their meaning: 0 stays off, 2 stays decided per
// scene, and any other value, which means on, becomes 1.
uint32_t ClampStoredSetting(SettingId which, uint32_t stored);
