// Scene set-up and the physics step.
#pragma once
#include <cstdint>

#include "sim/world.h"

// Reads stored settings with the semantics of the registry profile: section,
// value name, default; a missing value gives the default.
class SettingsReader {
public:
    virtual ~SettingsReader() = default;
    virtual uint32_t GetProfileInt(const char* section, const char* entry, int32_t defaultValue) = 0;
};

// The nine stored values of section "Settings", in the order set-up reads them.
struct StoredSetting {
    const char* name;
    int32_t defaultValue;
};
constexpr StoredSetting kStoredSettings[] = {
    {"NumBalls", 3},  {"NumPins", 40},         {"BallSize", 30},
    {"PinSize", 8},   {"Symmetry", 1},         {"Gravity", 20},
    {"ScenarioCounter", 20}, {"RefreshRate", 18}, {"Sparks", 1},
};

// Rebuilds the world from the settings for a board (left and top 0).
bool SetUpScene(World& world, const Rect& board, int previewRequest, SettingsReader& settings);
void LayOutPins(World& world, const Rect& board);

// One frame: sparks, motion and drop-in, contacts, pin knock-out.
void StepWorld(World& world, const Rect& board);
void Move(World& world, Disc& ball, const Rect& board);
void Collide(World& world, Disc& ball, GridCell* cell, const Rect& board);

// The board with every coordinate kept within +-kMaxBoardCoord.
Rect ClampBoard(const Rect& board);
