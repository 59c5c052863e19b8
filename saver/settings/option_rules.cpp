#include "settings/option_rules.h"

#include "settings/format_text.h"

#include "resource.h"

const SliderBinding kSliderBindings[7] = {
    {&SaverSettings::numBalls, IDC_BALLS_SLIDER, IDC_BALLS_LABEL, LabelFormat::Count},
    {&SaverSettings::numPins, IDC_PINS_SLIDER, IDC_PINS_LABEL, LabelFormat::Count},
    {&SaverSettings::ballSize, IDC_BALLSIZE_SLIDER, IDC_BALLSIZE_LABEL, LabelFormat::Count},
    {&SaverSettings::pinSize, IDC_PINSIZE_SLIDER, IDC_PINSIZE_LABEL, LabelFormat::Count},
    {&SaverSettings::gravity, IDC_GRAVITY_SLIDER, IDC_GRAVITY_LABEL, LabelFormat::Twentieths},
    {&SaverSettings::scenarioCounter, IDC_DURATION_SLIDER, IDC_DURATION_LABEL, LabelFormat::Count},
    {&SaverSettings::refreshRate, IDC_REFRESH_SLIDER, IDC_REFRESH_LABEL, LabelFormat::Count},
};

const ListBinding kListBindings[3] = {
    {&SaverSettings::symmetry, IDC_SYMMETRY_COMBO},
    {&SaverSettings::sparks, IDC_SPARKS_COMBO},
    {&SaverSettings::monitors, IDC_MONITORS_COMBO},
};

void FormatSliderLabel(LabelFormat format, int32_t value, char (&text)[32])
{
    if (format == LabelFormat::Twentieths) {
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
