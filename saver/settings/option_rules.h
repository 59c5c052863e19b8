// What the options dialog shows and checks, apart from any window: the label
// texts, and the rule that refuses balls which would nearly fill the screen.
#pragma once
#include <cstdint>

#include "settings/settings_table.h"

// Writes the text of a slider's value label into text; 32 bytes hold any
// 32-bit value of either kind.
void FormatSliderLabel(SettingKind kind, int32_t value, char (&text)[32]);

// True when the squares enclosing the balls cover at least nine tenths of
// the screen. Computed in double precision, so that no stored count or
// radius, however large, can wrap the area round to a small number.
bool BallsFillScreen(int32_t numBalls, int32_t ballSize, int32_t screenWidth, int32_t screenHeight);

// The text shown when BallsFillScreen refuses the values.
extern const char kBallsFillScreenText[];
extern const char kBallsFillScreenCaption[];
