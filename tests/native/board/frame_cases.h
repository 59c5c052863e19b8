// The frame-composition cases (composition_test.cpp).
#pragma once
#include <map>
#include <string>

#include "sim_test_support.h"

struct FrameCase {
    const char* name;
    std::map<std::string, uint32_t> settings;
    int width, height, frames;
    int knockOutEvery, paintEvery;  // a pin knocked out, the whole window painted, every so many frames (0: never)
};
inline void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

inline const FrameCase kFrameCases[] = {
    {"largest balls and pins", {{"NumBalls", 10}, {"BallSize", 200}, {"PinSize", 200}}, 1024, 768, 200, 0, 0},
    {"knock-outs", {{"NumBalls", 6}, {"NumPins", 80}, {"PinSize", 20}}, 640, 480, 500, 7, 0},
    {"wraps at the fastest fall", {{"NumBalls", 10}, {"Gravity", 100}, {"BallSize", 10}}, 640, 480, 600, 0, 0},
    {"a new scene after every tick", {{"ScenarioCounter", 0}, {"NumPins", 60}}, 640, 480, 200, 0, 0},
    {"200 pins, paints between ticks", {{"NumBalls", 10}, {"NumPins", 200}}, 640, 480, 400, 0, 37},
};
