// One user's whole life with the package, in one prefix: install, preview,
// options, full screen, a second install declined, uninstall as the system
// would run it, and a clean install again. The two programs meet where the
// system does: the saver runs by the SCRNSAVE.EXE the installer wrote, and
// goes by the uninstall command it recorded; the options show the version
// the installer compared.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>

#include "winhelp.h"

namespace {

const DWORD kWaitMs = 30000;
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran Saver";
const char kSettingsKey[] = "Software\\Velloran Screen Saver\\VelloranSaver\\Settings";

std::string Installed() { return wt::WindowsDir() + "\\VelloranSaver.scr"; }

// Runs the installer through its welcome dialog and one message box.
void Install(const char* caption, const char* text, int answer)
{
    wt::Process installer;
    ASSERT_TRUE(installer.Start(wt::Quote(wt::Artefact("VelloranSaverSetup.exe"))));
    HWND welcome = wt::WaitForWindow("Velloran Saver Installer", kWaitMs, installer.Id());
    ASSERT_NE(welcome, nullptr);
    wt::PressButton(welcome, IDOK);
    HWND box = wt::WaitForWindow(caption, kWaitMs, installer.Id());
    ASSERT_NE(box, nullptr) << "no box saying: " << text;
    EXPECT_EQ(wt::MessageBoxText(box), text);
    wt::PressButton(box, answer);
    DWORD code = 0;
    ASSERT_TRUE(installer.Wait(kWaitMs, &code));
    EXPECT_EQ(code, 1u);
}

// The installed file previews inside a host window until the host goes. (How
// the view fits its host is the drawing tests' business; Wine does not show
// what one process draws into another process's window.)
void RunPreviewInAHostWindow(const std::string& saverPath)
{
    HWND host = CreateWindowExA(0, "STATIC", "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 320, 260,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    wt::Process preview;
    ASSERT_TRUE(preview.Start(wt::Quote(saverPath) + " /p " + std::to_string(reinterpret_cast<INT_PTR>(host))));
    EXPECT_TRUE(wt::PumpUntil([&] { return FindWindowExA(host, nullptr, nullptr, nullptr) != nullptr; }, kWaitMs));
    DestroyWindow(host);
    DWORD code = 99;
    EXPECT_TRUE(wt::PumpUntil([&] { return preview.Wait(0, &code); }, kWaitMs)) << "preview outlived its host";
    EXPECT_EQ(code, 0u);
}

void ChangeBallCount(const std::string& saverPath, int balls)
{
    wt::Process options;
    ASSERT_TRUE(options.Start(wt::Quote(saverPath) + " /c"));
    HWND dialog = wt::WaitForWindow("VelloranSaver Options", kWaitMs, options.Id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(wt::ItemText(dialog, 1026), "1.0.1") << "version label";
    // Moved as a drag would; the slider reports its position while it redraws.
    HWND slider = GetDlgItem(dialog, 1011);
    SendMessageA(slider, TBM_SETPOS, TRUE, balls);
    InvalidateRect(slider, nullptr, TRUE);
    EXPECT_TRUE(wt::WaitUntil([&] { return wt::ItemText(dialog, 1013) == std::to_string(balls); }, kWaitMs));
    wt::PressButton(dialog, IDOK);
    ASSERT_TRUE(options.Wait(kWaitMs));
}

// Every ball has a colour of its own that covers far more pixels than a pin's.
int CountBalls(const wt::Screen& shot)
{
    std::map<uint32_t, int> counts;
    for (uint32_t p : shot.pixels) counts[p] += p != 0 && p != 0xFFFFFF;
    int balls = 0;
    for (const auto& c : counts) balls += c.second >= 1000;  // a ball of radius 30 covers about 2800
    return balls;
}

void RunFullScreenUntilAKey(const std::string& saverPath, int expectedBalls)
{
    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(saverPath) + " /s"));
    int seen = 0;
    EXPECT_TRUE(wt::WaitUntil([&] { return (seen = CountBalls(wt::CaptureScreen())) == expectedBalls; }, 60000))
        << seen << " balls seen, expected " << expectedBalls;
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = VK_SPACE;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    DWORD code = 99;
    EXPECT_TRUE(saver.Wait(kWaitMs, &code)) << "a key did not end the saver";
    EXPECT_EQ(code, 0u);
}

void UninstallAsTheSystemWould()
{
    std::string command;
    ASSERT_TRUE(wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &command));
    wt::Process uninstall;
    ASSERT_TRUE(uninstall.Start(command));  // the stored text, unchanged, as the command line
    ASSERT_TRUE(uninstall.Wait(kWaitMs));
    const std::string batch = wt::WindowsDir() + "\\uninstss.bat";
    EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(Installed()) && !wt::FileExists(batch); }, kWaitMs))
        << "executable or uninstss.bat left behind";
    EXPECT_FALSE(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    DWORD balls = 0;
    EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kSettingsKey, "NumBalls", &balls)) << "settings must stay";
}

TEST(Lifecycle, InstallUseConfigureUninstallAndInstallAgain)
{
    ASSERT_NO_FATAL_FAILURE(Install("Notice", "Installation completed!", IDOK));
    // The system starts the saver by the short path it was given.
    const std::string saver = wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE");
    ASSERT_NO_FATAL_FAILURE(RunPreviewInAHostWindow(saver));
    ASSERT_NO_FATAL_FAILURE(ChangeBallCount(saver, 5));
    ASSERT_NO_FATAL_FAILURE(RunFullScreenUntilAKey(saver, 5));

    // The installed copy is the same version: the installer asks, and leaves it on No.
    ASSERT_NO_FATAL_FAILURE(
        Install("Notice", "You have an up-to-date version installed.  Do you still want to install?", IDNO));

    ASSERT_NO_FATAL_FAILURE(UninstallAsTheSystemWould());
    ASSERT_NO_FATAL_FAILURE(Install("Notice", "Installation completed!", IDOK));
    EXPECT_TRUE(wt::FileExists(Installed()));
}

}  // namespace
