// The modes as the whole program runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/saver_app.h"
#include "display_scales.h"
#include "winhelp.h"

namespace {

const std::string kExe = wt::Artefact("VelloranSaver.scr");

TEST(Modes, EndAtOnceOnAnyOtherOrBadArgumentsAndAPreviewWithItsHost)
{
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 260, 0, 0, 0, 0);
    const std::string preview = " /p " + std::to_string(reinterpret_cast<INT_PTR>(host));
    for (const std::string arguments : {" /C", " /p 12345678", preview.c_str()}) {
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + arguments)) << arguments;
        if (arguments == preview) {
            EXPECT_TRUE(wt::PumpUntil([&] { return FindWindowExA(host, nullptr, nullptr, nullptr) != nullptr; }, 30000));
            DestroyWindow(host);
        }
        DWORD code = 1234;
        EXPECT_TRUE(wt::PumpUntil([&] { return saver.Wait(0, &code); }, 20000) && code == 0)
            << arguments << ": still running, or exit code " << code;
    }
}

// The widest run of one colour but black in a row: with large pins and small balls, a pin's diameter. 0 until the
// screen shows a board: black, but not all.
int WidestPinShown()
{
    const wt::Screen shot = wt::CaptureScreen();
    const size_t black = size_t(std::count(shot.pixels.begin(), shot.pixels.end(), 0u));
    if (black <= shot.pixels.size() / 10 || black == shot.pixels.size()) return 0;
    int widest = 0;
    for (size_t i = 1, length = 1; i < shot.pixels.size(); ++i) {
        const bool same = shot.pixels[i] != 0 && shot.pixels[i] == shot.pixels[i - 1] && i % size_t(shot.width) != 0;
        widest = std::max(widest, int(length = same ? length + 1 : 1));
    }
    return widest;
}

const std::pair<const char*, DWORD> kLargePins[] = {{"NumBalls", 1}, {"BallSize", 10}, {"NumPins", 4}, {"PinSize", kScaledPinRadius}, {"Sparks", 0}};

// A damaged setting must neither blank the board nor make frames so slow that input cannot end it. A pin is drawn
// as wide as display_scales.h says for the display's scale.
TEST(FullScreen, ShowsTheBoardWhateverIsStoredAtTheDisplaysScaleAndEndsOnRealInput)
{
    std::vector<std::pair<DWORD, DisplayScale>> runs = {{0x7FFFFFFF, kDisplayScales[0]}, {0x80000000, kDisplayScales[0]}};
    for (const DisplayScale& scale : kDisplayScales) runs.push_back({0, scale});
    for (const auto& [stored, scale] : runs) {
        // The shell's "Test" verb and a double-click start it with /S, the control panel with /s.
        const char* how = &stored == &runs.front().first ? " /S" : " /s";
        wt::RegRemoveTree(HKEY_CURRENT_USER, wt::kSettingsKey);
        if (stored)
            for (const Setting& setting : kSettings) wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, setting.name, stored);
        else
            for (const auto& [name, value] : kLargePins) wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, name, value);
        wt::RegWriteDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", DWORD(scale.dpi));
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + how));
        const int pin = stored ? 1 : scale.pinWidth;
        int widest = 0;
        EXPECT_TRUE(wt::WaitUntil([&] { return (widest = WidestPinShown()) >= pin; }, 15000)) << stored << how << ", " << scale.dpi << " dpi: no board shown";
        EXPECT_TRUE(stored || widest == pin) << scale.dpi << " dpi: a pin " << widest << " pixels wide";
        keybd_event('A', 0, 0, 0);  // real input
        keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(15000, &code) && code == 0) << stored << ": still running, or exit code " << code;
    }
    wt::RegWriteDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", 96);
    wt::RegRemoveTree(HKEY_CURRENT_USER, wt::kSettingsKey);
}

// The system starts the active saver by the short path that the installer stores, Explorer's "Configure" by its
// long one: one file, one name for its settings. Wine gives the long path; this gives the short one.
char shortPath[MAX_PATH];
DWORD WINAPI ShortModuleFileName(HMODULE, LPSTR path, DWORD size)
{
    lstrcpynA(path, shortPath, int(size));
    return DWORD(std::strlen(shortPath));
}

TEST(SaverSettings, AreOneSetByTheShortAndTheLongPath)
{
    ASSERT_TRUE(GetShortPathNameA(kExe.c_str(), shortPath, MAX_PATH) && std::strchr(shortPath, '~')) << shortPath;
    const auto realModuleFileName = wt::ReplaceImport("kernel32.dll", "GetModuleFileNameA", &ShortModuleFileName);
    SaverApp started;
    EXPECT_STREQ(started.AppName(), "VelloranSaver") << "the name in the settings key";
    wt::ReplaceImport("kernel32.dll", "GetModuleFileNameA", realModuleFileName);
}

}  // namespace
