// Scene set-up and the physics step.
#pragma once
#include <cstdint>

#include "sim/settings_reader.h"
#include "sim/world.h"

// Rebuilds the world from the settings for a board (left and top 0).
void SetUpScene(World& world, const Rect& board, int previewRequest, SettingsReader& settings);
void LayOutPins(World& world, const Rect& board);

// One frame: sparks, motion and drop-in, contacts, pin knock-out.
void StepWorld(World& world, const Rect& board);
void Move(World& world, Disc& ball, const Rect& board);
void Collide(World& world, Disc& ball, GridCell* cell, const Rect& board);

// The board with every coordinate kept within +-kMaxBoardCoord.
Rect ClampBoard(const Rect& board);
