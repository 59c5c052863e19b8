// The modes as the whole program runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

const std::string kExe = wt::Artefact("VelloranSaver.scr");

// Any other or bad arguments end the program at once; a preview lives in its host until the host goes.
TEST(Modes, EndAtOnceOnAnyOtherOrBadArgumentsAndAPreviewWithItsHost)
{
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 260, 0, 0, 0, 0);
    const std::string preview = " /p " + std::to_string(reinterpret_cast<INT_PTR>(host));
    for (const std::string arguments : {" /S", " -uninstall", " /p", " /p 0", " /p 12345678", " /p -1", preview.c_str()}) {
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

// A damaged setting must neither blank the board nor make frames so slow that input cannot end it. At 192 dots
// per inch the board is laid out in half the screen's pixels and drawn at twice the size: a pin of radius 40 is
// 80 pixels wide at 96, 160 at 192.
TEST(FullScreen, ShowsTheBoardWhateverIsStoredAtTheDisplaysScaleAndEndsOnRealInput)
{
    const struct { DWORD stored, dpi; int pin; } runs[] = {{0x7FFFFFFF, 96, 0}, {0x80000000, 96, 0}, {0, 96, 80}, {0, 192, 160}};
    for (const auto& run : runs) {
        wt::RegRemoveTree(HKEY_CURRENT_USER, wt::kSettingsKey);
        if (run.stored)
            for (const StoredSetting& setting : kStoredSettings)
                wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, setting.name, run.stored);
        else
            for (const auto& [name, value] : {std::pair{"NumBalls", 1}, {"BallSize", 10}, {"NumPins", 4}, {"PinSize", 40}, {"Sparks", 0}})
                wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, name, DWORD(value));
        wt::RegWriteDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", run.dpi);
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + " /s"));
        int widest = 0;
        EXPECT_TRUE(wt::WaitUntil([&] {
            const wt::Screen shot = wt::CaptureScreen();
            const size_t black = size_t(std::count(shot.pixels.begin(), shot.pixels.end(), 0u));
            // The widest run of one colour in a row: with large pins and small balls, a pin's diameter.
            for (size_t i = 1, length = 1; i < shot.pixels.size(); ++i) {
                const bool same = shot.pixels[i] != 0 && shot.pixels[i] == shot.pixels[i - 1] && i % size_t(shot.width) != 0;
                widest = std::max(widest, int(length = same ? length + 1 : 1));
            }
            return black > shot.pixels.size() / 10 && black < shot.pixels.size() && widest >= run.pin;
        }, 15000)) << run.stored << ", " << run.dpi << " dpi: no board shown";
        EXPECT_TRUE(run.pin == 0 || widest == run.pin) << run.dpi << " dpi: a pin " << widest << " pixels wide";
        keybd_event('A', 0, 0, 0);  // real input
        keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(15000, &code) && code == 0) << run.stored << ": still running, or exit code " << code;
    }
    wt::RegWriteDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", 96);
    wt::RegRemoveTree(HKEY_CURRENT_USER, wt::kSettingsKey);
}

}  // namespace
