// What the options dialog shows and checks, apart from any window: which
// slider and label belong to which setting, the label texts, and the rule
// that refuses balls which would nearly fill the screen.
#pragma once
#include <cstdint>

#include "settings/settings_store.h"

enum class LabelFormat {
    Count,       // the value itself
    Twentieths,  // the value times 0.05 with two decimals (gravity)
};

struct SliderBinding {
    int32_t SaverSettings::*field;
    int sliderId;
    int labelId;
    LabelFormat format;
};

// The dialog's sliders in the order it sets them up.
extern const SliderBinding kSliderBindings[7];

// A list whose item index is the setting's value.
struct ListBinding {
    int32_t SaverSettings::*field;
    int comboId;
};

extern const ListBinding kListBindings[3];

// Writes the text of a slider's value label into text; 32 bytes hold any
// 32-bit value in either format.
void FormatSliderLabel(LabelFormat format, int32_t value, char (&text)[32]);

// True when the squares enclosing the balls cover at least nine tenths of
// the screen. Computed in double precision, so that no stored count or
// radius, however large, can wrap the area round to a small number.
bool BallsFillScreen(int32_t numBalls, int32_t ballSize, int32_t screenWidth, int32_t screenHeight);

// The text shown when BallsFillScreen refuses the values.
extern const char kBallsFillScreenText[];
extern const char kBallsFillScreenCaption[];
