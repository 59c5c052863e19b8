// The configure mode: the built screensaver driven from outside as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <map>

#include "app/saver_app.h"
#include "resource.h"
#include "settings/options_dialog.h"
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
    void Open(const char* program = "VelloranSaver.scr")
    {
        ASSERT_TRUE(saver.Start(wt::Quote(wt::Artefact(program)) + " /c"));
        ASSERT_TRUE(dialog = wt::WaitForWindow("VelloranSaver Options", kWaitMs, saver.Id()));
    }
    wt::Process saver;
    HWND dialog = nullptr;
};

// The first row, by a program without a version resource, leaves by the close box and stores nothing;
// the second stores on OK what the controls then hold, except what policy fixes. The user's values
// outside the ranges give way to the sliders' ends and to no list item; an administrator's are kept
// within range at once. Balls that policy fixes whole pass OK even where they fill the screen.
struct ShownRow { const char *name, *program; Values stored; const char* texts; Values left; Values machine, policy; };
class Shown : public Options, public ::testing::WithParamInterface<ShownRow> {};

TEST_P(Shown, LabelsListsAndWhatLeavingStores)
{
    for (const auto& s : GetParam().stored) wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, s.first.c_str(), s.second);
    for (const auto& s : GetParam().machine) wt::RegWriteDword(HKEY_LOCAL_MACHINE, wt::kSettingsKey, s.first.c_str(), s.second);
    for (const auto& s : GetParam().policy) wt::RegWriteDword(HKEY_LOCAL_MACHINE, kPolicyKey, s.first.c_str(), s.second);
    // Neither a short DWORD nor four bytes of another type count: PinSize stays as it was.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kPolicyKey, "PinSize", REG_DWORD, "\x07", 2);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, wt::kSettingsKey, "PinSize", REG_BINARY, "\x14\0\0", 4);
    ASSERT_NO_FATAL_FAILURE(Open(GetParam().program));
    EXPECT_TRUE(wt::WaitUntil([&] { return Texts(dialog) == GetParam().texts; }, kWaitMs)) << Texts(dialog);
    // Five pins and other sparks: the slider reports its new position while it redraws, as in a drag.
    SendMessageA(GetDlgItem(dialog, IDC_PINS_SLIDER), TBM_SETPOS, TRUE, 5);
    SendMessageA(GetDlgItem(dialog, IDC_SPARKS_COMBO), CB_SETCURSEL, 2, 0);
    ASSERT_TRUE(wt::WaitUntil([&] { return wt::ItemText(dialog, IDC_PINS_LABEL) == "5"; }, kWaitMs));
    EXPECT_EQ(Stored(), GetParam().stored) << "written before leaving";
    if (GetParam().left.empty()) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    else wt::PressButton(dialog, IDOK);
    ASSERT_TRUE(saver.Wait(kWaitMs));
    EXPECT_EQ(Stored(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Settings, Shown, ::testing::Values(
        ShownRow{"Defaults", "VelloranSaverNoVersion.scr", {},
                 "Balls|Number|OK|Cancel|VelloranSaver||3|Yes|Radius|http://www.velloran.example/saver/||18|Symmetric Pins||30|Gravity||1.00|Number||40|Sparks|Yes|Refresh Rate||20|Scene Duration|\xA9 2026 Velloran|Unknown|Radius||8|Pins|Monitors|Primary|",
                 {}, {}, {}},
        ShownRow{"Levels", "VelloranSaver.scr",
                 {{"NumBalls", 4}, {"NumPins", 150}, {"Gravity", 27}, {"ScenarioCounter", 0xFFFFFFFF},
                  {"Sparks", 0}, {"Monitors", 3}},
                 "Balls|Number|OK|Cancel|VelloranSaver|~|~10|~Yes|Radius|http://www.velloran.example/saver/||50|Symmetric Pins|~|~200|Gravity||1.35|Number||150|Sparks|No|Refresh Rate||1|Scene Duration|\xA9 2026 Velloran|1.0.1|Radius||8|Pins|Monitors||",
                 {{"NumBalls", 4}, {"NumPins", 5}, {"PinSize", 8}, {"Gravity", 27}, {"ScenarioCounter", 1},
                  {"RefreshRate", 50}, {"Sparks", 2}, {"Monitors", 0xFFFFFFFF}},
                 {{"NumPins", 60}, {"RefreshRate", 50}},
                 {{"NumBalls", 10}, {"BallSize", 1000}, {"Symmetry", 7}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Ten balls of radius 104 nearly fill 800 by 600.
TEST_F(Options, On800x600BallsFillingTheScreenAreRefusedWithTheOneMessageBox)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN) * 1000 + GetSystemMetrics(SM_CYSCREEN), 800600);
    wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, "NumBalls", 10);
    wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, "BallSize", 104);
    ASSERT_NO_FATAL_FAILURE(Open());
    wt::PressButton(dialog, IDOK);
    HWND box = wt::WaitForWindow("Please adjust parameters", kWaitMs, saver.Id());
    ASSERT_TRUE(box && GetWindow(box, GW_OWNER) == dialog);
    EXPECT_EQ(wt::MessageBoxText(box), "Please decrease the number of balls or decrease their radius.  Currently, you've "
              "specified parameters that practically fill the screen with balls, and that might not be a good idea.");
    wt::PressButton(box, IDOK);
    ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
    EXPECT_TRUE(IsWindowVisible(dialog) && Stored().size() == 2u);
}

// Any system command whose upper bits are those of the About item opens it. The command shell stands in
// for the browser that a click on the link opens: it writes down what it was given.
TEST_F(Options, AboutShowsItsTextsAndTheVersionOverTheDialogAndALinkClickOpensItsAddressLeavingItOpen)
{
    const std::string log = wt::Artefact("shell-open.txt"), command = "cmd.exe /c echo %1>" + wt::Quote(log);
    DeleteFileA(log.c_str());
    ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", nullptr, REG_SZ, command.c_str(),
                              DWORD(command.size() + 1)), 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX | 0xF, 0);
    HWND about = wt::WaitForWindow("About VelloranSaver", kWaitMs, saver.Id());
    ASSERT_TRUE(about && GetWindow(about, GW_OWNER) == dialog && !IsWindowEnabled(dialog));
    EXPECT_EQ(Texts(about).substr(Texts(about).find('|')),  // after the icon
              "|VelloranSaver Version |\xA9 2026 Velloran Software|OK|http://www.velloran.example/|1.0.1|");
    wt::PressButton(about, IDOK);
    EXPECT_TRUE(wt::WaitUntil([&] { return IsWindowEnabled(dialog) && !IsWindow(about); }, kWaitMs));
    HWND link = GetDlgItem(dialog, IDC_WEB_LINK);
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 4));
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(6, 4));
    std::string opened;
    EXPECT_TRUE(wt::WaitUntil([&] { return wt::ReadFileBytes(log, &opened) && !opened.empty(); }, 45000));
    EXPECT_NE(opened.find("http://www.velloran.example/saver/"), std::string::npos) << opened;
    EXPECT_TRUE(IsWindowVisible(dialog)) << "still open";
}

// On this program's thread, which carries the screensaver's resources: before the sliders first
// report, values outside their ranges show as they are; over the link, the thread's cursor is the hand.
struct FirstLabels : OptionsDialog {
    FirstLabels() : OptionsDialog(nullptr) {}
    std::string texts;
    HCURSOR overLink = nullptr;
    BOOL OnInitDialog() override
    {
        const BOOL result = OptionsDialog::OnInitDialog();
        for (const SettingId which : kSliderSettings) texts += wt::ItemText(Handle(), kSettings[which].labelId) + "|";
        SendDlgItemMessageA(Handle(), IDC_WEB_LINK, WM_MOUSEMOVE, 0, MAKELPARAM(6, 4));
        overLink = GetCursor();
        EndDialog(IDCANCEL);
        return result;
    }
};

TEST(OptionsDialogOnThisThread, ShowsStoredValuesAsTheyAreAtFirstAndTheHandOverTheLink)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    FirstLabels dialog;
    dialog.saverSettings = {{25, 0, 1000, -7, 1, 0, 20, 18, 1}};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.texts, "25|0|1000|-7|0.00|20|18|");
    EXPECT_TRUE(dialog.overLink && dialog.overLink == LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND)));
}

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
