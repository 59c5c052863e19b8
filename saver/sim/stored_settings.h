// The settings the screensaver keeps in the user's registry: value names,
// defaults and the ranges the options dialog offers, in the order in which
// every reader reads them and the options dialog writes them. The saver keeps
// what it reads within these ranges; the simulation's own caps (sim/limits.h)
// serve the tools that drive it beyond them.
#pragma once
#include <cstdint>

// The profile section that holds them.
constexpr char kSettingsSection[] = "Settings";

struct StoredSetting {
    const char* name;
    int32_t defaultValue;
    int32_t minimum;
    int32_t maximum;
};

// Indices into kStoredSettings.
enum SettingId { kNumBalls, kNumPins, kBallSize, kPinSize, kSymmetry, kGravity, kScenarioCounter, kRefreshRate, kSparks, kMonitors };

inline constexpr StoredSetting kStoredSettings[] = {
    {"NumBalls", 3, 1, 10},       // balls in a scene
    {"NumPins", 40, 4, 200},      // pins requested
    {"BallSize", 30, 10, 200},    // ball radius, pixels
    {"PinSize", 8, 6, 200},       // pin radius, pixels
    {"Symmetry", 1, 0, 2},        // 0 off, 1 mirrored, 2 decided per scene
    {"Gravity", 20, 1, 100},      // twentieths: 20 is a factor of 1.00
    {"ScenarioCounter", 20, 1, 100},  // scene length in units of 600 steps
    {"RefreshRate", 18, 3, 127},  // animation period minus 1, milliseconds
    {"Sparks", 1, 0, 2},          // as Symmetry
    {"Monitors", 0, 0, 1},        // 0 a board on the primary monitor only, 1 on every monitor
};
constexpr int kStoredSettingCount = sizeof kStoredSettings / sizeof kStoredSettings[0];
// The settings that shape a board, every one but the last: which monitors get
// a board is the Windows saver's own question (a daemon that runs a program
// per monitor answers it for the others).
constexpr int kBoardSettingCount = kMonitors;

// Where the scene set-up reads the stored settings from: the value stored for
// a setting, or its default when there is none.
class SettingsReader {
public:
    virtual uint32_t ReadSetting(SettingId which) = 0;

protected:
    ~SettingsReader() = default;
};
