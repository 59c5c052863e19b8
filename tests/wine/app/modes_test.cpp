// The modes as a whole program runs them: those that end at once touching nothing,
// full screen whatever is stored, and the uninstall against what can stand in its way.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

// Blanks and long names, so that the uninstall batch must use the short form.
const std::string kFolder = "C:\\Program Files\\Velloran Saver Test Folder", kExe = kFolder + "\\VelloranSaver.scr";
const std::string kBatch = wt::WindowsDir() + "\\uninstss.bat";
const std::string kSettings = std::string("Software\\") + kRegistryRoot + "\\VelloranSaver\\Settings";

bool Install(bool withEntry)
{
    HKEY key;
    CreateDirectoryA(kFolder.c_str(), nullptr);
    if (withEntry && RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return false;
    if (withEntry) RegCloseKey(key);
    return CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), kExe.c_str(), FALSE);
}

BOOL CALLBACK FindVisible(HWND w, LPARAM pid)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    return owner != *reinterpret_cast<DWORD*>(pid) || !IsWindowVisible(w);  // FALSE stops: found
}

TEST(Modes, EndAtOnceShowingAndTouchingNothing)
{
    ASSERT_TRUE(Install(true));
    for (const char* arguments : {" /S", " \"\"", " x", " -uninstall", " /UNINSTALL", " /p", " /p 0", " /p 12345678", " /p -1"}) {
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + arguments)) << arguments;
        bool shown = false;
        EXPECT_TRUE(wt::WaitUntil([&] {
            DWORD pid = saver.Id();
            shown = shown || !EnumWindows(FindVisible, LPARAM(&pid));
            return !saver.Running();
        }, 20000)) << arguments << ": still running";
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(0, &code) && code == 0 && !shown) << arguments << ": exit code " << code << ", shown " << shown;
        EXPECT_TRUE(wt::FileExists(kExe) && wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << arguments;
        EXPECT_FALSE(wt::FileExists(kBatch)) << arguments;
    }
    wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
}

TEST(FullScreen, ShowsTheBoardAndEndsOnRealInput)
{
    ASSERT_TRUE(Install(false));
    for (const DWORD stored : {DWORD(0), DWORD(0x7FFFFFFF), DWORD(0x80000000)}) {  // every stored value, or none
        wt::RegRemoveTree(HKEY_CURRENT_USER, kSettings.c_str());
        for (const StoredSetting& setting : kStoredSettings)
            if (stored) wt::RegWriteDword(HKEY_CURRENT_USER, kSettings.c_str(), setting.name, stored);
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + " /s")) << stored;
        EXPECT_TRUE(wt::WaitUntil([] {
            const wt::Screen shot = wt::CaptureScreen();
            size_t black = 0;
            for (uint32_t p : shot.pixels) black += p == 0;
            return black > shot.pixels.size() / 10 && black < shot.pixels.size();
        }, 15000)) << stored << ": no board shown";
        ASSERT_TRUE(saver.Running()) << stored << ": closed on its own";
        keybd_event('A', 0, 0, 0);  // real input
        keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(15000, &code) && code == 0) << stored << ": still running, or exit code " << code;
    }
    wt::RegRemoveTree(HKEY_CURRENT_USER, kSettings.c_str());
}

TEST(Uninstall, RemovesTheProgramAndItsEntryOrLeavesTheEntryToTryAgain)
{
    enum Obstacle { None, EntryAlreadyGone, NoCommandInterpreter, HeldForEver };
    const struct {
        const char* name;
        Obstacle obstacle;
        bool exeGone, entryGone;
    } rows[] = {{"normal", None, true, true}, {"entry already gone", EntryAlreadyGone, true, true},
                {"never deletable", HeldForEver, false, true}, {"batch cannot start", NoCommandInterpreter, false, false}};
    char cmd[MAX_PATH] = {};
    GetSystemDirectoryA(cmd, MAX_PATH);
    const std::string interpreter = std::string(cmd) + "\\cmd.exe", away = interpreter + ".away";
    for (const auto& row : rows) {
        ASSERT_TRUE(Install(row.obstacle != EntryAlreadyGone)) << row.name;
        ASSERT_TRUE(wt::WriteFileBytes(kBatch, "@EXIT\r\n"));  // a leftover, to be replaced, not appended to
        ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, kSettings.c_str(), "NumBalls", 7));
        const HANDLE held = row.obstacle != HeldForEver ? INVALID_HANDLE_VALUE
                            : CreateFileA(kExe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (row.obstacle == NoCommandInterpreter) {
            ASSERT_TRUE(MoveFileA(interpreter.c_str(), away.c_str()));
        }
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(kExe) + " -UNINSTALL"));
        EXPECT_TRUE(saver.Wait(20000)) << row.name << ": the uninstall mode must end at once";
        // The batch goes in every case: at once when it could not start, within its bound otherwise.
        EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(kBatch) && wt::FileExists(kExe) != row.exeGone; }, 60000))
            << row.name << ": uninstss.bat left behind, or the executable not " << (row.exeGone ? "gone" : "kept");
        EXPECT_EQ(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), !row.entryGone) << row.name;
        DWORD balls = 0;
        EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kSettings.c_str(), "NumBalls", &balls) && balls == 7) << row.name;
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        if (row.obstacle == NoCommandInterpreter) MoveFileA(away.c_str(), interpreter.c_str());
        wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
}

}  // namespace
