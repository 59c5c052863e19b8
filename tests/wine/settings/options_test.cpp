// The configure mode: the built screensaver driven from outside as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <map>

#include "app/saver_app.h"
#include "resource.h"
#include "settings/setting_levels.h"
#include "winhelp.h"

namespace {

using Values = std::map<std::string, DWORD>;
const DWORD kWaitMs = 15000;
const char kPolicyKey[] = "Software\\Policies\\Velloran Screen Saver\\VelloranSaver\\Settings";

Values Stored()
{
    Values values;
    DWORD value = 0;
    for (const char* name : {"NumBalls", "NumPins", "BallSize", "PinSize", "Symmetry", "Gravity", "ScenarioCounter", "RefreshRate", "Sparks", "Monitors"})
        if (wt::RegReadDword(HKEY_CURRENT_USER, wt::kSettingsKey, name, &value)) values[name] = value;
    return values;
}

// Every child's text in template order, "~" before a disabled one (one that policy fixes).
std::string Texts(HWND dialog)
{
    std::string all;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        all += (IsWindowEnabled(c) ? "" : "~") + wt::Text(c) + "|";
    return all;
}


class Options : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* key : {wt::kSettingsKey, kPolicyKey}) wt::RegRemoveTree(HKEY_LOCAL_MACHINE, key);
        wt::RegRemoveTree(HKEY_CURRENT_USER, wt::kSettingsKey);
    }
};

// The first row, by a program without a version resource, leaves by the close box and stores nothing;
// the second stores on OK what the controls then hold, except what policy fixes. The user's values
// outside the ranges give way to the sliders' ends and to no list item; an administrator's are kept
// within range at once. Balls that policy fixes whole pass OK even where they fill the screen.
// Screen Saver Settings names its window after the switch: the second row's dialog is modal to it; the
// first row's handle names no window, which leaves the dialog without an owner.
struct ShownRow { const char *name, *program; bool owned; Values stored; const char* texts; Values left; Values machine, policy; };
class Shown : public Options, public ::testing::WithParamInterface<ShownRow> {};

TEST_P(Shown, LabelsListsAndWhatLeavingStores)
{
    for (const auto& s : GetParam().stored) wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, s.first.c_str(), s.second);
    for (const auto& s : GetParam().machine) wt::RegWriteDword(HKEY_LOCAL_MACHINE, wt::kSettingsKey, s.first.c_str(), s.second);
    for (const auto& s : GetParam().policy) wt::RegWriteDword(HKEY_LOCAL_MACHINE, kPolicyKey, s.first.c_str(), s.second);
    // Neither a short DWORD nor four bytes of another type count: PinSize stays as it was.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kPolicyKey, "PinSize", REG_DWORD, "\x07", 2);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, wt::kSettingsKey, "PinSize", REG_BINARY, "\x14\0\0", 4);
    // Its owner's thread takes part in every change of the dialog's modal state: every wait here pumps.
    const HWND settings = CreateWindowExA(0, "STATIC", "settings", WS_POPUP | WS_VISIBLE, 100, 100, 320, 260, 0, 0, 0, 0);
    const HWND owner = GetParam().owned ? settings : nullptr;
    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(wt::Artefact(GetParam().program)) + " /c:" + std::to_string(owner ? INT_PTR(owner) : 12345678)));
    HWND dialog = nullptr;
    ASSERT_TRUE(wt::PumpUntil([&] { return (dialog = wt::WaitForWindow("VelloranSaver Options", 0, saver.Id())) != nullptr; }, kWaitMs));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    EXPECT_EQ(IsWindowEnabled(settings) == FALSE, owner != nullptr) << "modal to it";
    EXPECT_TRUE(wt::PumpUntil([&] { return Texts(dialog) == GetParam().texts; }, kWaitMs)) << Texts(dialog);
    // Five pins and other sparks: the slider reports its new position while it redraws, as in a drag.
    SendMessageA(GetDlgItem(dialog, IDC_PINS_SLIDER), TBM_SETPOS, TRUE, 5);
    SendMessageA(GetDlgItem(dialog, IDC_SPARKS_COMBO), CB_SETCURSEL, 2, 0);
    ASSERT_TRUE(wt::PumpUntil([&] { return wt::ItemText(dialog, IDC_PINS_LABEL) == "5"; }, kWaitMs));
    EXPECT_EQ(Stored(), GetParam().stored) << "written before leaving";
    if (GetParam().left.empty()) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    else wt::PressButton(dialog, IDOK);
    ASSERT_TRUE(wt::PumpUntil([&] { return saver.Wait(0); }, kWaitMs));
    EXPECT_EQ(Stored(), GetParam().left);
    DestroyWindow(settings);
}

INSTANTIATE_TEST_SUITE_P(Settings, Shown, ::testing::Values(
        ShownRow{"Defaults", "VelloranSaverNoVersion.scr", false, {},
                 "Balls|Number|OK|Cancel|VelloranSaver||3|Yes|Radius|http://www.velloran.example/saver/||18|Symmetric Pins||30|Gravity||1.00|Number||40|Sparks|Yes|Refresh Rate||20|Scene Duration|\xA9 2026 Velloran|Unknown|Radius||8|Pins|Monitors|Primary|",
                 {}, {}, {}},
        ShownRow{"Levels", "VelloranSaver.scr", true,
                 {{"NumBalls", 4}, {"NumPins", 150}, {"Gravity", 27}, {"ScenarioCounter", 0xFFFFFFFF},
                  {"Sparks", 0}, {"Monitors", 3}},
                 "Balls|Number|OK|Cancel|VelloranSaver|~|~10|~Yes|Radius|http://www.velloran.example/saver/||50|Symmetric Pins|~|~200|Gravity||1.35|Number||150|Sparks|No|Refresh Rate||1|Scene Duration|\xA9 2026 Velloran|1.0.1|Radius||8|Pins|Monitors||",
                 {{"NumBalls", 4}, {"NumPins", 5}, {"PinSize", 8}, {"Gravity", 27}, {"ScenarioCounter", 1},
                  {"RefreshRate", 50}, {"Sparks", 2}, {"Monitors", 0xFFFFFFFF}},
                 {{"NumPins", 60}, {"RefreshRate", 50}},
                 {{"NumBalls", 10}, {"BallSize", 1000}, {"Symmetry", 7}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The 32-bit saver on 64-bit Windows: what the administrator's tools wrote in the 64-bit view counts.
TEST_F(Options, MachineLevelsUnderWow64AreReadFromThe64BitView)
{
    wt::ModelWow64Registry();
    wt::RegWriteDword(HKEY_LOCAL_MACHINE, wt::kSettingsKey, "NumPins", 60);
    wt::RegWriteDword(HKEY_LOCAL_MACHINE, kPolicyKey, "NumBalls", 9);
    const ResolvedSetting pins = ReadResolvedSetting(kRegistryRoot, "VelloranSaver", kNumPins),
                          balls = ReadResolvedSetting(kRegistryRoot, "VelloranSaver", kNumBalls);
    EXPECT_EQ(pins.value, 60u);
    EXPECT_TRUE(balls.fixed && balls.value == 9u);
}

}  // namespace
