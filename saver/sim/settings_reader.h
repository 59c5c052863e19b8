// What the scene set-up reads: the settings that shape a board, in the order
// in which every reader reads them. Their names, defaults and ranges are the
// settings table's (settings/settings_table.h); the simulation's own caps
// (sim/limits.h) serve the tools that drive it beyond them.
#pragma once
#include <cstdint>

// The board's settings; an index into the settings table, whose further
// entries are the Windows saver's own.
enum SettingId : int { kNumBalls, kNumPins, kBallSize, kPinSize, kSymmetry, kGravity, kScenarioCounter, kRefreshRate, kSparks };
constexpr int kBoardSettingCount = kSparks + 1;

// Where the scene set-up reads the stored settings from: the value stored for
// a setting, or its default when there is none.
class SettingsReader {
public:
    virtual uint32_t ReadSetting(SettingId which) = 0;

protected:
    ~SettingsReader() = default;
};
