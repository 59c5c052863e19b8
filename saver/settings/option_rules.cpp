#include "settings/option_rules.h"

#include "settings/format_text.h"

void FormatSliderLabel(SettingKind kind, int32_t value, char (&text)[32])
{
    if (kind == SettingKind::Twentieths) {
        FormatText(text, "%1.2f", value * 0.05);
    } else {
        FormatText(text, "%d", static_cast<int>(value));
    }
}

bool BallsFillScreen(int32_t numBalls, int32_t ballSize, int32_t screenWidth, int32_t screenHeight)
{
    const double screenArea = static_cast<double>(screenWidth) * screenHeight;
    const double ballArea = 4.0 * numBalls * ballSize * ballSize;
    return ballArea >= 0.9 * screenArea;
}

const char kBallsFillScreenText[] =
    "Please decrease the number of balls or decrease their radius.  Currently, you've specified parameters "
    "that practically fill the screen with balls, and that might not be a good idea.";
const char kBallsFillScreenCaption[] = "Please adjust parameters";
