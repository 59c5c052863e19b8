// The options dialog's working copy of the stored settings, and the
// ranges the saver keeps them in.
#pragma once
#include <cstdint>
#include <optional>

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
SettingId SettingIdOf(int32_t SaverSettings::*field);
const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field);

// A stored value as the saver uses it: within the range that the options
// dialog offers, the 32 bits taken as signed, as the dialog's sliders take
// them. The two lists keep their meaning: 0 stays off, 2 stays decided per
// scene, and any other value, which means on, becomes 1.
uint32_t ClampStoredSetting(SettingId which, uint32_t stored);

// What an administrator and the user have stored for one setting, each
// level empty when it holds no usable value.
struct SettingLevels {
    std::optional<uint32_t> policy;   // fixed for everyone on the machine
    std::optional<uint32_t> user;     // the user's own
    std::optional<uint32_t> machine;  // everyone's default on the machine
};

struct ResolvedSetting {
    uint32_t value;
    bool fixed;  // by policy: the options dialog neither offers nor stores it
};

// The policy wins over the user's own value, which wins over the machine's
// default, which wins over the built-in one. What an administrator stored is
// kept within range at once, since nobody can correct it in the dialog; the
// user's own value comes as it is, as the dialog shows it.
ResolvedSetting ResolveSetting(SettingId which, const SettingLevels& levels);
