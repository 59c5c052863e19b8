// The options dialog's working copy of the nine stored settings, and how it
// is loaded from and stored to the application's profile.
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
};

// Where each stored setting lives in the working copy, in the order of kStoredSettings.
inline constexpr int32_t SaverSettings::*kSettingFields[] = {
    &SaverSettings::numBalls, &SaverSettings::numPins,         &SaverSettings::ballSize,
    &SaverSettings::pinSize,  &SaverSettings::symmetry,        &SaverSettings::gravity,
    &SaverSettings::scenarioCounter, &SaverSettings::refreshRate, &SaverSettings::sparks,
};
static_assert(sizeof kSettingFields / sizeof kSettingFields[0] == kStoredSettingCount,
              "every stored setting has a field");

// The stored setting that a field of the working copy holds.
const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field);

// That section, as the application's profile sees it.
class SettingsProfile {
public:
    virtual ~SettingsProfile() = default;
    // The stored value, or defaultValue when there is none.
    virtual uint32_t Read(const char* name, int32_t defaultValue) = 0;
    virtual void Write(const char* name, int32_t value) = 0;
};

// Reads all nine, each with its default, in the order of kStoredSettings.
SaverSettings LoadSettings(SettingsProfile& profile);
// Writes all nine in the same order, whatever they hold.
void StoreSettings(SettingsProfile& profile, const SaverSettings& settings);
