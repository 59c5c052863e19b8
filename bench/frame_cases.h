// The drawing benchmarks' cases, the same for both front ends: the defaults,
// every slider of the options dialog at its most demanding end (as the first
// scene comes, then one that lets balls into play), and the most discs at the
// default sizes, where contacts and sparks are most frequent.
#pragma once
#include <cstdint>
#include <vector>

struct BenchSetting {
    const char* name;  // the stored setting's name
    uint32_t value;
};

struct FrameBenchCase {
    const char* label;
    std::vector<BenchSetting> settings;
    bool ballsInPlay;  // a scene that lets the most balls into play, among a few seeds
};

inline const std::vector<BenchSetting> kBusiestSettings = {{"NumBalls", 10}, {"NumPins", 200}, {"BallSize", 200},
                                                           {"PinSize", 200}, {"Gravity", 100}, {"Sparks", 1},
                                                           {"RefreshRate", 3}};

inline const FrameBenchCase kFrameBenchCases[] = {
    {"defaults", {}, false},
    {"busiest", kBusiestSettings, false},
    {"busiest+play", kBusiestSettings, true},
    {"crowded", {{"NumBalls", 10}, {"NumPins", 200}, {"Sparks", 1}}, false},
};
