// The options dialog of the built screensaver, driven from outside.
#include <gtest/gtest.h>

#include <ostream>

#include "resource.h"
#include "settings_driver.h"

namespace {

using st::OptionsRun;

struct LabelOf {
    const char* setting;
    int sliderId;
    int labelId;
};
constexpr LabelOf kLabels[] = {
    {"NumBalls", IDC_BALLS_SLIDER, IDC_BALLS_LABEL},       {"NumPins", IDC_PINS_SLIDER, IDC_PINS_LABEL},
    {"BallSize", IDC_BALLSIZE_SLIDER, IDC_BALLSIZE_LABEL}, {"PinSize", IDC_PINSIZE_SLIDER, IDC_PINSIZE_LABEL},
    {"Gravity", IDC_GRAVITY_SLIDER, IDC_GRAVITY_LABEL},    {"ScenarioCounter", IDC_DURATION_SLIDER, IDC_DURATION_LABEL},
    {"RefreshRate", IDC_REFRESH_SLIDER, IDC_REFRESH_LABEL},
};

TEST(OptionsDialog, WithoutStoredSettingsShowsAndStoresTheDefaults)
{
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    const char* expected[] = {"3", "40", "30", "8", "1.00", "20", "18"};
    for (size_t i = 0; i < 7; ++i) EXPECT_TRUE(run.WaitForLabel(kLabels[i].labelId, expected[i])) << kLabels[i].setting;
    for (int combo : {IDC_SYMMETRY_COMBO, IDC_SPARKS_COMBO}) {
        ASSERT_EQ(run.ListCount(combo), 3) << combo;
        EXPECT_EQ(run.ListItem(combo, 0), "No");
        EXPECT_EQ(run.ListItem(combo, 1), "Yes");
        EXPECT_EQ(run.ListItem(combo, 2), "Whatever");
        EXPECT_EQ(run.ListSelection(combo), 1) << combo;
    }
    EXPECT_EQ(run.Label(IDC_VERSION_LABEL), "1.0.1");
    // Nothing is written while the dialog is open.
    EXPECT_TRUE(st::StoredSettings().empty());

    wt::PressButton(run.Dialog(), IDOK);
    ASSERT_TRUE(run.WaitForExit());
    EXPECT_EQ(st::StoredSettings(), st::DefaultSettings());
}

TEST(OptionsDialog, NoArgumentOpensTheDialogToo)
{
    OptionsRun run;
    ASSERT_TRUE(run.Open("VelloranSaver.scr", nullptr));
    wt::PressButton(run.Dialog(), IDCANCEL);
    EXPECT_TRUE(run.WaitForExit());
}

// A stored value shows in its label; one outside the slider's range gives
// way to the slider's nearest end as soon as the slider reports, and OK
// stores that end.
struct StoredCase {
    const char* setting;
    DWORD stored;
    int sliderId, labelId;
    const char* endLabel;
    DWORD end;
    friend std::ostream& operator<<(std::ostream& os, const StoredCase& c)
    {
        return os << c.setting << "=" << static_cast<int>(c.stored);
    }
};

class StoredSliderValue : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredSliderValue, ShowsAndIsStoredWithinTheRange)
{
    const StoredCase& c = GetParam();
    st::StoreSetting(c.setting, c.stored);
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    EXPECT_TRUE(run.WaitForLabel(c.labelId, c.endLabel)) << "label shows " << run.Label(c.labelId);
    EXPECT_EQ(run.SliderPos(c.sliderId), static_cast<int>(c.end));
    wt::PressButton(run.Dialog(), IDOK);
    ASSERT_TRUE(run.WaitForExit());
    EXPECT_EQ(st::StoredSettings()[c.setting], c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StoredSliderValue,
    ::testing::Values(StoredCase{"Gravity", 27, IDC_GRAVITY_SLIDER, IDC_GRAVITY_LABEL, "1.35", 27},
                      StoredCase{"NumBalls", 25, IDC_BALLS_SLIDER, IDC_BALLS_LABEL, "10", 10},
                      StoredCase{"PinSize", 0xFFFFFFFF, IDC_PINSIZE_SLIDER, IDC_PINSIZE_LABEL, "6", 6},
                      StoredCase{"RefreshRate", 1000, IDC_REFRESH_SLIDER, IDC_REFRESH_LABEL, "127", 127}));

// A stored list value without an item leaves the list empty; OK stores -1.
class StoredListValue : public ::testing::TestWithParam<const char*> {};

TEST_P(StoredListValue, OutsideTheListStoresMinusOne)
{
    const std::string setting = GetParam();
    const int combo = setting == "Symmetry" ? IDC_SYMMETRY_COMBO : IDC_SPARKS_COMBO;
    const int other = setting == "Symmetry" ? IDC_SPARKS_COMBO : IDC_SYMMETRY_COMBO;
    st::StoreSetting(setting.c_str(), 3);
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    EXPECT_EQ(run.ListSelection(combo), -1);
    EXPECT_EQ(run.ListSelection(other), 1);
    wt::PressButton(run.Dialog(), IDOK);
    ASSERT_TRUE(run.WaitForExit());
    auto stored = st::StoredSettings();
    EXPECT_EQ(stored[setting], 0xFFFFFFFFu);
    EXPECT_EQ(stored[setting == "Symmetry" ? "Sparks" : "Symmetry"], 1u);
}

INSTANTIATE_TEST_SUITE_P(Lists, StoredListValue, ::testing::Values("Symmetry", "Sparks"));

TEST(OptionsDialog, OkStoresWhatTheControlsHold)
{
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    const int positions[] = {7, 150, 55, 12, 60, 99, 40};
    const char* labels[] = {"7", "150", "55", "12", "3.00", "99", "40"};
    for (size_t i = 0; i < 7; ++i) {
        run.MoveSlider(kLabels[i].sliderId, positions[i]);
        EXPECT_TRUE(run.WaitForLabel(kLabels[i].labelId, labels[i])) << kLabels[i].setting;
    }
    run.SelectListItem(IDC_SYMMETRY_COMBO, 2);
    run.SelectListItem(IDC_SPARKS_COMBO, 0);
    wt::PressButton(run.Dialog(), IDOK);
    ASSERT_TRUE(run.WaitForExit());
    auto stored = st::StoredSettings();
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(stored[kLabels[i].setting], DWORD(positions[i])) << kLabels[i].setting;
    EXPECT_EQ(stored["Symmetry"], 2u);
    EXPECT_EQ(stored["Sparks"], 0u);
}

// However the dialog is left without OK, the registry keeps what it had.
enum class Leave { CancelButton, Escape, CloseBox };

class LeavingWithoutOk : public ::testing::TestWithParam<Leave> {};

TEST_P(LeavingWithoutOk, LeavesTheRegistryUntouched)
{
    st::StoreSetting("NumBalls", 5);
    st::StoreSetting("Sparks", 2);
    const auto before = st::StoredSettings();
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    run.MoveSlider(IDC_BALLS_SLIDER, 8);
    ASSERT_TRUE(run.WaitForLabel(IDC_BALLS_LABEL, "8"));
    run.SelectListItem(IDC_SPARKS_COMBO, 0);

    switch (GetParam()) {
    case Leave::CancelButton:
        wt::PressButton(run.Dialog(), IDCANCEL);
        break;
    case Leave::Escape: {
        // The key goes to the control with the focus; the dialog's loop turns it into Cancel.
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(run.Dialog(), nullptr), &info));
        HWND target = info.hwndFocus ? info.hwndFocus : run.Dialog();
        PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        break;
    }
    case Leave::CloseBox:
        PostMessageA(run.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    ASSERT_TRUE(run.WaitForExit());
    EXPECT_EQ(st::StoredSettings(), before);
}

INSTANTIATE_TEST_SUITE_P(Ways, LeavingWithoutOk,
                         ::testing::Values(Leave::CancelButton, Leave::Escape, Leave::CloseBox),
                         [](const ::testing::TestParamInfo<Leave>& info) {
                             return info.param == Leave::CancelButton ? std::string("CancelButton")
                                    : info.param == Leave::Escape     ? std::string("Escape")
                                                                      : std::string("CloseBox");
                         });

// On an 800 by 600 screen ten balls of radius 103 fit; 104 do not.
struct AreaCase {
    DWORD radius;
    bool refused;
    friend std::ostream& operator<<(std::ostream& os, const AreaCase& c) { return os << "radius " << c.radius; }
};

class ScreenArea800x600 : public ::testing::TestWithParam<AreaCase> {};

TEST_P(ScreenArea800x600, OkChecksTheBallArea)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    st::StoreSetting("NumBalls", 10);
    st::StoreSetting("BallSize", GetParam().radius);
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    wt::PressButton(run.Dialog(), IDOK);

    if (GetParam().refused) {
        HWND box = wt::WaitForWindow("Please adjust parameters", st::kWaitMs, run.ProcessId());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(wt::MessageBoxText(box),
                  "Please decrease the number of balls or decrease their radius.  Currently, you've specified "
                  "parameters that practically fill the screen with balls, and that might not be a good idea.");
        EXPECT_EQ(GetWindow(box, GW_OWNER), run.Dialog());
        wt::PressButton(box, IDOK);
        ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(box); }, st::kWaitMs));
        // Still open, nothing stored, values as they were.
        EXPECT_TRUE(IsWindow(run.Dialog()));
        EXPECT_EQ(run.Label(IDC_BALLSIZE_LABEL), "104");
        EXPECT_TRUE(st::StoredSettings().size() == 2);

        run.MoveSlider(IDC_BALLSIZE_SLIDER, 103);
        ASSERT_TRUE(run.WaitForLabel(IDC_BALLSIZE_LABEL, "103"));
        wt::PressButton(run.Dialog(), IDOK);
    }
    ASSERT_TRUE(run.WaitForExit());
    auto stored = st::StoredSettings();
    EXPECT_EQ(stored.size(), 9u);
    EXPECT_EQ(stored["NumBalls"], 10u);
    EXPECT_EQ(stored["BallSize"], 103u);
}

INSTANTIATE_TEST_SUITE_P(Radii, ScreenArea800x600, ::testing::Values(AreaCase{103, false}, AreaCase{104, true}));

// The About item of the system menu (any command whose upper bits are 16)
// opens the About box over the dialog; both show the executable's version.
struct AboutCase {
    const char* program;
    WPARAM command;
    const char* version;
    friend std::ostream& operator<<(std::ostream& os, const AboutCase& c)
    {
        return os << c.program << " command " << c.command;
    }
};

class AboutBox : public ::testing::TestWithParam<AboutCase> {};

TEST_P(AboutBox, OpensOverTheDialogAndReturnsToIt)
{
    const AboutCase& c = GetParam();
    OptionsRun run;
    ASSERT_TRUE(run.Open(c.program));
    EXPECT_EQ(run.Label(IDC_VERSION_LABEL), c.version);
    PostMessageA(run.Dialog(), WM_SYSCOMMAND, c.command, 0);
    HWND about = wt::WaitForWindow(st::kAboutCaption, st::kWaitMs, run.ProcessId());
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(wt::ItemText(about, IDC_VERSION_LABEL), c.version);
    EXPECT_EQ(GetWindow(about, GW_OWNER), run.Dialog());
    EXPECT_FALSE(IsWindowEnabled(run.Dialog()));

    wt::PressButton(about, IDOK);
    ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(about); }, st::kWaitMs));
    EXPECT_TRUE(wt::WaitUntil([&] { return IsWindowEnabled(run.Dialog()) != FALSE; }, st::kWaitMs));
    EXPECT_TRUE(run.Running());
    wt::PressButton(run.Dialog(), IDCANCEL);
    EXPECT_TRUE(run.WaitForExit());
    EXPECT_TRUE(st::StoredSettings().empty());
}

INSTANTIATE_TEST_SUITE_P(Commands, AboutBox,
                         ::testing::Values(AboutCase{"VelloranSaver.scr", 16, "1.0.1"},
                                           AboutCase{"VelloranSaver.scr", 16 | 0xF, "1.0.1"},
                                           AboutCase{"VelloranSaverNoVersion.scr", 16, "Unknown"}));

}  // namespace
