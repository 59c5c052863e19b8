// One user's whole life with the package: the two programs meet where the
// system does, by the SCRNSAVE.EXE and the uninstall command the installer wrote.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "winhelp.h"

namespace {

const DWORD kWaitMs = 30000;
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran Saver";

// Runs the installer through its welcome dialog and one message box, or the
// options dialog to five balls, and waits for it to end.
void Drive(const std::string& command, const char* caption, const char* text, int answer)
{
    wt::Process p;
    ASSERT_TRUE(p.Start(command));
    if (text) wt::PressButton(wt::WaitForWindow("Velloran Saver Installer", kWaitMs, p.Id()), IDOK);
    HWND box = wt::WaitForWindow(caption, kWaitMs, p.Id());
    ASSERT_NE(box, nullptr) << caption;
    if (!text) SendMessageA(GetDlgItem(box, 1011), TBM_SETPOS, TRUE, 5);  // the options dialog: five balls
    EXPECT_TRUE(wt::WaitUntil([&] { return wt::ItemText(box, text ? 0xFFFF : 1013) == (text ? text : "5"); }, kWaitMs));
    wt::PressButton(box, answer);
    ASSERT_TRUE(p.Wait(kWaitMs));
}

TEST(Lifecycle, InstallUseConfigureUninstallAndInstallAgain)
{
    const std::string setup = wt::Quote(wt::Artefact("VelloranSaverSetup.exe"));
    ASSERT_NO_FATAL_FAILURE(Drive(setup, "Notice", "Installation completed!", IDOK));
    const std::string saver = wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE");

    // The preview lives in its host window until the host goes.
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 260, 0, 0, 0, 0);
    wt::Process preview;
    ASSERT_TRUE(preview.Start(saver + " /p " + std::to_string(reinterpret_cast<INT_PTR>(host))));
    EXPECT_TRUE(wt::PumpUntil([&] { return FindWindowExA(host, nullptr, nullptr, nullptr) != nullptr; }, kWaitMs));
    DestroyWindow(host);
    EXPECT_TRUE(wt::PumpUntil([&] { return preview.Wait(0); }, kWaitMs)) << "preview outlived its host";

    ASSERT_NO_FATAL_FAILURE(Drive(saver + " /c", "VelloranSaver Options", nullptr, IDOK));
    wt::Process full;
    ASSERT_TRUE(full.Start(saver + " /s"));
    int balls = 0;  // every ball has a colour of its own, covering far more pixels than a pin
    EXPECT_TRUE(wt::WaitUntil([&] {
        std::map<uint32_t, int> counts;
        balls = 0;
        for (uint32_t p : wt::CaptureScreen().pixels) balls += ++counts[p] == 1000 && p != 0 && p != 0xFFFFFF;
        return balls == 5;
    }, 60000)) << balls;
    keybd_event(VK_SPACE, 0, 0, 0);
    keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(full.Wait(kWaitMs)) << "a key did not end the saver";

    std::string uninstall, batch = wt::WindowsDir() + "\\uninstss.bat", installed = wt::WindowsDir() + "\\VelloranSaver.scr";
    ASSERT_TRUE(wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &uninstall));
    wt::Process remover;
    ASSERT_TRUE(remover.Start(uninstall) && remover.Wait(kWaitMs));  // the stored text as the command line
    EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(installed) && !wt::FileExists(batch); }, kWaitMs));
    EXPECT_FALSE(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    ASSERT_NO_FATAL_FAILURE(Drive(setup, "Notice", "Installation completed!", IDOK));
    EXPECT_TRUE(wt::FileExists(installed));
}

}  // namespace
