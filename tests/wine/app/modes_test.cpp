// The modes that end at once, full screen whatever is stored, and the uninstall against what can stand
// in its way, as the whole program runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

// Blanks and long names, so that the uninstall batch must use the short form.
const std::string kFolder = "C:\\Program Files\\Velloran 100% Test", kExe = kFolder + "\\VelloranSaver.scr";
const std::string kBatch = wt::WindowsDir() + "\\uninstss.bat";
const std::string kSettings = std::string("Software\\") + kRegistryRoot + "\\VelloranSaver\\Settings";
const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran Saver";  // as installed

bool Install(const std::string& path = kExe)
{
    CreateDirectoryA(kFolder.c_str(), nullptr);
    return CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), path.c_str(), FALSE);
}

TEST(Modes, EndAtOnceOnAnyOtherOrBadArguments)
{
    ASSERT_TRUE(Install());
    for (const char* arguments : {" /S", " -uninstall", " /p", " /p 0", " /p 12345678", " /p -1"}) {
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + arguments)) << arguments;
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(20000, &code) && code == 0) << arguments << ": still running, or exit code " << code;
    }
}

// A damaged setting must neither blank the board nor make frames so slow that input cannot end it.
TEST(FullScreen, ShowsTheBoardAndEndsOnRealInputWhateverIsStored)
{
    ASSERT_TRUE(Install());
    for (const DWORD stored : {DWORD(0x7FFFFFFF), DWORD(0x80000000)}) {
        for (const StoredSetting& setting : kStoredSettings)
            wt::RegWriteDword(HKEY_CURRENT_USER, kSettings.c_str(), setting.name, stored);
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + " /s")) << stored;
        EXPECT_TRUE(wt::WaitUntil([] {
            const wt::Screen shot = wt::CaptureScreen();
            size_t black = 0;
            for (uint32_t p : shot.pixels) black += p == 0;
            return black > shot.pixels.size() / 10 && black < shot.pixels.size();
        }, 15000)) << stored << ": no board shown";
        keybd_event('A', 0, 0, 0);  // real input
        keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(15000, &code) && code == 0) << stored << ": still running, or exit code " << code;
    }
    wt::RegRemoveTree(HKEY_CURRENT_USER, kSettings.c_str());
}

// The widest run of one colour in a row of the screen: with large pins and small balls, a pin's diameter.
int WidestDisc()
{
    const wt::Screen shot = wt::CaptureScreen();
    int widest = 0, run = 0;
    for (size_t i = 1; i < shot.pixels.size(); ++i) {
        const bool same = shot.pixels[i] != 0 && shot.pixels[i] == shot.pixels[i - 1] && i % size_t(shot.width) != 0;
        widest = std::max(widest, run = same ? run + 1 : 1);
    }
    return widest;
}

// At 192 dots per inch the board is laid out in half the screen's pixels and drawn at twice the size.
TEST(FullScreen, DrawsDiscsOfTheSameSizeOnTheDisplayAt192DotsPerInch)
{
    ASSERT_TRUE(Install());
    for (const auto& [name, value] : {std::pair{"NumBalls", 1}, {"BallSize", 10}, {"NumPins", 4}, {"PinSize", 40}, {"Sparks", 0}})
        wt::RegWriteDword(HKEY_CURRENT_USER, kSettings.c_str(), name, DWORD(value));
    int widest[2] = {};
    for (int scale : {1, 2}) {
        wt::RegWriteDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", DWORD(96 * scale));
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + " /s"));
        wt::WaitUntil([&] { return (widest[scale - 1] = std::max(widest[scale - 1], WidestDisc())) >= 80 * scale; }, 15000);
        keybd_event('A', 0, 0, 0);
        keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
        EXPECT_TRUE(saver.Wait(15000));
    }
    wt::RegWriteDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", 96);
    wt::RegRemoveTree(HKEY_CURRENT_USER, kSettings.c_str());
    EXPECT_EQ(widest[0], 80) << "a pin of radius 40";
    EXPECT_EQ(widest[1], 160);
}

TEST(Uninstall, RemovesTheProgramThenItsEntryOrLeavesBothToTryAgain)
{
    enum Obstacle { None, HeldAWhile, HeldForEver, ReadOnly, OddPath, AnotherCopy, NoCommandInterpreter };
    // gone: the program run and, where it is the one installed, its entry.
    const struct { const char* name; Obstacle obstacle; bool gone; } rows[] = {{"normal", None, true},         {"held a while", HeldAWhile, true},
                {"never deletable", HeldForEver, false}, {"read-only", ReadOnly, true},
                {"blanks and %, bare name", OddPath, true}, {"another copy", AnotherCopy, true},
                {"batch cannot start", NoCommandInterpreter, false}};
    char here[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, here);
    const std::string interpreter = wt::WindowsDir() + "\\system32\\cmd.exe", away = interpreter + ".away";
    for (const auto& row : rows) {
        // Unexpanded, "%TEMP%" would name the temporary folder; the folder has blanks.
        const std::string installed = row.obstacle == OddPath ? kFolder + "\\%TEMP%.scr" : kExe;
        const std::string run = row.obstacle == AnotherCopy ? wt::WindowsDir() + "\\Copy.scr" : installed;
        ASSERT_TRUE(Install(installed) && Install(run)) << row.name;
        const std::string command = installed + " -UNINSTALL";
        ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", REG_SZ, command.c_str(),
                                  DWORD(command.size() + 1)), ERROR_SUCCESS);
        ASSERT_TRUE(wt::WriteFileBytes(kBatch, "@EXIT\r\n"));  // a leftover, to be replaced, not appended to
        ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, kSettings.c_str(), "NumBalls", 7));
        ASSERT_TRUE(row.obstacle != ReadOnly || SetFileAttributesA(run.c_str(), FILE_ATTRIBUTE_READONLY));
        HANDLE held = row.obstacle != HeldAWhile && row.obstacle != HeldForEver ? INVALID_HANDLE_VALUE
                      : CreateFileA(run.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(row.obstacle != NoCommandInterpreter || MoveFileA(interpreter.c_str(), away.c_str()));
        wt::Process saver;  // the odd path by its bare name in its folder, as typed in a console
        SetCurrentDirectoryA(row.obstacle == OddPath ? kFolder.c_str() : here);
        ASSERT_TRUE(saver.Start(wt::Quote(row.obstacle == OddPath ? "%TEMP%.scr" : run) + " -UNINSTALL"));
        EXPECT_TRUE(saver.Wait(20000)) << row.name << ": the uninstall mode must end at once";
        if (row.obstacle == HeldAWhile) {
            Sleep(3000);  // a few refused tries
            CloseHandle(held), held = INVALID_HANDLE_VALUE;
        }
        // The batch goes in every case: at once when it could not start, within its bound otherwise.
        EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(kBatch) && wt::FileExists(run) != row.gone; }, 90000))
            << row.name << ": uninstss.bat left behind, or the program not " << (row.gone ? "gone" : "kept");
        EXPECT_EQ(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kEntry), !row.gone || run != installed) << row.name;
        EXPECT_TRUE(run == installed || wt::FileExists(installed)) << row.name << ": the installed copy removed";
        DWORD balls = 0;
        EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kSettings.c_str(), "NumBalls", &balls) && balls == 7) << row.name;
        CloseHandle(held);
        if (row.obstacle == NoCommandInterpreter) MoveFileA(away.c_str(), interpreter.c_str());
        wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kEntry);
        SetFileAttributesA(run.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    SetCurrentDirectoryA(here);
}

}  // namespace
