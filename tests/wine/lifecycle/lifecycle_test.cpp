// One user's whole life with the package, in one prefix: install, preview,
// options, full screen, a second install declined, uninstall as the system
// would run it, and a clean install again. Each step checks the things both
// programs must agree on where they meet: the file name, SCRNSAVE.EXE, the
// uninstall entry and the version text.
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

void AnswerBox(DWORD pid, const char* caption, const char* text, int button)
{
    HWND box = wt::WaitForWindow(caption, kWaitMs, pid);
    ASSERT_NE(box, nullptr) << "no box \"" << caption << "\" saying: " << text;
    EXPECT_EQ(wt::MessageBoxText(box), text);
    wt::PressButton(box, button);
}

// Runs the installer through its welcome dialog; the caller answers what follows.
void StartInstaller(wt::Process& installer)
{
    ASSERT_TRUE(installer.Start(wt::Quote(wt::Artefact("VelloranSaverSetup.exe"))));
    HWND welcome = wt::WaitForWindow("Velloran Saver Installer", kWaitMs, installer.Id());
    ASSERT_NE(welcome, nullptr);
    wt::PressButton(welcome, IDOK);
}

void InstallCleanly()
{
    wt::Process installer;
    StartInstaller(installer);
    AnswerBox(installer.Id(), "Notice", "Installation completed!", IDOK);
    DWORD code = 0;
    ASSERT_TRUE(installer.Wait(kWaitMs, &code));
    EXPECT_EQ(code, 1u);
}

std::string Installed() { return wt::WindowsDir() + "\\VelloranSaver.scr"; }

std::string FileVersionText(const std::string& file)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    std::string block(size, '\0');
    char* value = nullptr;
    UINT len = 0;
    if (!size || !GetFileVersionInfoA(file.c_str(), 0, size, &block[0]) ||
        !VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\FileVersion", reinterpret_cast<void**>(&value),
                        &len))
        return std::string();
    return value;
}

// The four things both programs meet on, as the installer leaves them.
void ExpectInstalledAndRegistered()
{
    std::string installed, built;
    ASSERT_TRUE(wt::ReadFileBytes(Installed(), &installed));
    ASSERT_TRUE(wt::ReadFileBytes(wt::Artefact("VelloranSaver.scr"), &built));
    EXPECT_TRUE(installed == built) << "the installed file differs from the built screensaver";

    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(Installed().c_str(), shortPath, MAX_PATH);
    EXPECT_EQ(wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE"), shortPath);

    std::string name, command, version;
    EXPECT_TRUE(wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", &name));
    EXPECT_EQ(name, "Velloran Saver");
    EXPECT_TRUE(wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &command));
    EXPECT_EQ(command, Installed() + " -UNINSTALL");
    EXPECT_TRUE(wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", &version));
    EXPECT_EQ(version, "1.0.1");
    EXPECT_EQ(FileVersionText(Installed()), "1, 0, 1, 0");
}

// How many colours cover a ball's worth of pixels: balls are far larger
// than pins, sparks are white, and every ball has its own colour.
int CountBallColours(const wt::Screen& shot, int minPixels)
{
    std::map<uint32_t, int> counts;
    for (uint32_t p : shot.pixels)
        if (p != 0 && p != 0xFFFFFF) ++counts[p];
    int balls = 0;
    for (const auto& c : counts) balls += c.second >= minPixels;
    return balls;
}

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND CreateHostWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LifecyclePreviewHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                320, 260, nullptr, nullptr, wc.hInstance, nullptr);
    wt::PumpFor(200);
    return host;
}

void RunPreviewInAHostWindow(const std::string& saverPath)
{
    HWND host = CreateHostWindow();
    ASSERT_NE(host, nullptr);
    wt::Process preview;
    ASSERT_TRUE(preview.Start(wt::Quote(saverPath) + " /p " +
                              std::to_string(static_cast<long>(reinterpret_cast<INT_PTR>(host)))));
    // The view fills the host's client area and runs its animation timer.
    // (Wine does not show what one process draws into a child of another
    // process's window, so the pixels are checked in full screen below.)
    HWND view = nullptr;
    ASSERT_TRUE(wt::PumpUntil([&] { return (view = FindWindowExA(host, nullptr, nullptr, nullptr)) != nullptr; },
                          kWaitMs));
    RECT client, child;
    GetClientRect(host, &client);
    GetWindowRect(view, &child);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&child), 2);
    EXPECT_TRUE(EqualRect(&client, &child));
    EXPECT_TRUE(wt::PumpUntil([&] { return GetPropA(view, "PROP_ANIMTIMERDATA") != nullptr; }, kWaitMs));
    wt::PumpFor(500);
    EXPECT_TRUE(preview.Running());
    DestroyWindow(host);
    DWORD code = 99;
    bool ended = false;
    wt::PumpUntil([&] { return (ended = preview.Wait(0, &code)); }, kWaitMs);
    EXPECT_TRUE(ended) << "preview still running after its host went";
    EXPECT_EQ(code, 0u);
}

// Moves a slider as a drag would and waits until the dialog's label follows.
void SetSlider(HWND dialog, int slider, int label, int position, const char* labelText)
{
    HWND control = GetDlgItem(dialog, slider);
    SendMessageA(control, TBM_SETPOS, TRUE, position);
    InvalidateRect(control, nullptr, TRUE);  // the slider reports its position while it redraws
    EXPECT_TRUE(wt::WaitUntil([&] { return wt::ItemText(dialog, label) == labelText; }, kWaitMs))
        << "label " << label << " shows \"" << wt::ItemText(dialog, label) << "\", expected " << labelText;
}

void ChangeOptions(const std::string& saverPath, int balls, int gravity, const char* gravityText)
{
    wt::Process options;
    ASSERT_TRUE(options.Start(wt::Quote(saverPath) + " /c"));
    HWND dialog = wt::WaitForWindow("VelloranSaver Options", kWaitMs, options.Id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(wt::ItemText(dialog, 1026), "1.0.1") << "version label";
    SetSlider(dialog, 1011, 1013, balls, std::to_string(balls).c_str());
    SetSlider(dialog, 1010, 1018, gravity, gravityText);
    wt::PressButton(dialog, IDOK);
    ASSERT_TRUE(options.Wait(kWaitMs));

    DWORD stored = 0;
    EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kSettingsKey, "NumBalls", &stored));
    EXPECT_EQ(stored, DWORD(balls));
    EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kSettingsKey, "Gravity", &stored));
    EXPECT_EQ(stored, DWORD(gravity));
}

void PressKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void RunFullScreenAndCountBalls(const std::string& saverPath, int expectedBalls)
{
    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(saverPath) + " /s"));
    // Balls drop in one by one; wait until all of them are on the board.
    const int ballPixels = 1000;  // a ball of radius 30 covers about 2800, a pin of radius 8 about 200
    int most = 0;
    const bool allIn = wt::WaitUntil(
        [&] {
            const int seen = CountBallColours(wt::CaptureScreen(), ballPixels);
            most = seen > most ? seen : most;
            return seen == expectedBalls;
        },
        60000);
    EXPECT_TRUE(allIn) << "at most " << most << " balls seen, expected " << expectedBalls;
    wt::CaptureScreen().SaveBmp(wt::HereDir() + "\\lifecycle-fullscreen.bmp");
    EXPECT_LE(most, expectedBalls);
    ASSERT_TRUE(saver.Running());

    PressKey(VK_SPACE);
    DWORD code = 99;
    EXPECT_TRUE(saver.Wait(kWaitMs, &code)) << "a key did not end the saver";
    EXPECT_EQ(code, 0u);
}

void DeclineReinstall()
{
    std::string before;
    ASSERT_TRUE(wt::ReadFileBytes(Installed(), &before));
    wt::Process installer;
    StartInstaller(installer);
    AnswerBox(installer.Id(), "Notice",
              "You have an up-to-date version installed.  Do you still want to install?", IDNO);
    DWORD code = 0;
    ASSERT_TRUE(installer.Wait(kWaitMs, &code));
    EXPECT_EQ(code, 1u);
    std::string after;
    ASSERT_TRUE(wt::ReadFileBytes(Installed(), &after));
    EXPECT_TRUE(before == after);
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
    ASSERT_NO_FATAL_FAILURE(InstallCleanly());
    ASSERT_NO_FATAL_FAILURE(ExpectInstalledAndRegistered());

    // The system starts the saver by the short path it was given.
    const std::string saver = wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE");
    ASSERT_NO_FATAL_FAILURE(RunPreviewInAHostWindow(saver));
    ASSERT_NO_FATAL_FAILURE(ChangeOptions(saver, 5, 40, "2.00"));
    ASSERT_NO_FATAL_FAILURE(RunFullScreenAndCountBalls(saver, 5));

    ASSERT_NO_FATAL_FAILURE(DeclineReinstall());
    ASSERT_NO_FATAL_FAILURE(UninstallAsTheSystemWould());

    ASSERT_NO_FATAL_FAILURE(InstallCleanly());
    ASSERT_NO_FATAL_FAILURE(ExpectInstalledAndRegistered());
}

}  // namespace
