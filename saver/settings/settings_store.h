// The nine stored settings of the screensaver: names, defaults, the ranges the
// options dialog offers, and the order in which they are read and written.
#pragma once
#include <cstdint>

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

struct StoredSetting {
    const char* name;  // registry value name
    int32_t SaverSettings::*field;
    int32_t defaultValue;
    int32_t minimum;  // the range the dialog's control offers
    int32_t maximum;
};

// In the order in which every reader reads them and Configure writes them.
inline constexpr StoredSetting kStoredSettings[] = {
    {"NumBalls", &SaverSettings::numBalls, 3, 1, 10},
    {"NumPins", &SaverSettings::numPins, 40, 4, 200},
    {"BallSize", &SaverSettings::ballSize, 30, 10, 200},
    {"PinSize", &SaverSettings::pinSize, 8, 6, 200},
    {"Symmetry", &SaverSettings::symmetry, 1, 0, 2},
    {"Gravity", &SaverSettings::gravity, 20, 1, 100},
    {"ScenarioCounter", &SaverSettings::scenarioCounter, 20, 1, 100},
    {"RefreshRate", &SaverSettings::refreshRate, 18, 3, 127},
    {"Sparks", &SaverSettings::sparks, 1, 0, 2},
};

const StoredSetting& StoredSettingOf(int32_t SaverSettings::*field);

// The section of the application's registry profile that holds them.
constexpr char kSettingsProfileSection[] = "Settings";

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
