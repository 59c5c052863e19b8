// The built screensaver in full screen (/s) from its installed place: it shows
// the board whatever is stored, and real input ends it.
#include <gtest/gtest.h>

#include <string>

#include "winhelp.h"

namespace {

void Press(bool key)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = key ? INPUT_KEYBOARD : INPUT_MOUSE;
    if (key) {
        in[0].ki.wVk = in[1].ki.wVk = 'A';
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    } else {
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    }
    SendInput(2, in, sizeof(INPUT));
}

const struct {
    const char* name;
    DWORD stored;  // every stored value, or 0 for none
    bool key;      // else a click
} kRows[] = {{"defaults, click", 0, false}, {"all at 0x7FFFFFFF, key", 0x7FFFFFFF, true}, {"all at 0x80000000, key", 0x80000000, true}};

TEST(FullScreen, ShowsTheBoardAndEndsOnInput)
{
    const char key[] = "Software\\Velloran Screen Saver\\VelloranSaver\\Settings";
    const std::string installed = wt::WindowsDir() + "\\VelloranSaver.scr";
    ASSERT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), installed.c_str(), FALSE));
    for (const auto& row : kRows) {
        wt::RegRemoveTree(HKEY_CURRENT_USER, key);
        for (const char* name : {"NumBalls", "NumPins", "BallSize", "PinSize", "Symmetry", "Gravity", "ScenarioCounter",
                                 "RefreshRate", "Sparks"})
            if (row.stored) wt::RegWriteDword(HKEY_CURRENT_USER, key, name, row.stored);
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(installed) + " /s")) << row.name;
        EXPECT_TRUE(wt::WaitUntil([] {
            const wt::Screen shot = wt::CaptureScreen();
            size_t black = 0;
            for (uint32_t p : shot.pixels) black += p == 0;
            return black > shot.pixels.size() / 10 && black < shot.pixels.size();
        }, 15000)) << row.name << ": no board shown";
        ASSERT_TRUE(saver.Running()) << row.name << " closed on its own";
        Press(row.key);
        DWORD code = 1234;
        EXPECT_TRUE(wt::PumpUntil([&] { return saver.Wait(0, &code); }, 15000)) << row.name << " still running";
        EXPECT_EQ(code, 0u) << row.name;
    }
    wt::RegRemoveTree(HKEY_CURRENT_USER, key);
    DeleteFileA(installed.c_str());
}

}  // namespace
