// The modes that end at once, full screen whatever is stored, and the uninstall against what can stand
// in its way, as the whole program runs them.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

// Blanks and long names, so that the uninstall batch must use the short form.
const std::string kFolder = "C:\\Program Files\\Velloran Saver Test Folder", kExe = kFolder + "\\VelloranSaver.scr";
const std::string kBatch = wt::WindowsDir() + "\\uninstss.bat";
const std::string kSettings = std::string("Software\\") + kRegistryRoot + "\\VelloranSaver\\Settings";

bool Install()
{
    CreateDirectoryA(kFolder.c_str(), nullptr);
    return CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), kExe.c_str(), FALSE);
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

TEST(Uninstall, RemovesTheProgramAndItsEntryOrLeavesTheEntryToTryAgain)
{
    enum Obstacle { None, EntryAlreadyGone, NoCommandInterpreter, HeldForEver };
    const struct {
        const char* name;
        Obstacle obstacle;
        bool exeGone, entryGone;
    } rows[] = {{"normal", None, true, true}, {"entry already gone", EntryAlreadyGone, true, true},
                {"never deletable", HeldForEver, false, true}, {"batch cannot start", NoCommandInterpreter, false, false}};
    const std::string interpreter = wt::WindowsDir() + "\\system32\\cmd.exe", away = interpreter + ".away";
    for (const auto& row : rows) {
        ASSERT_TRUE(Install()) << row.name;
        ASSERT_TRUE(row.obstacle == EntryAlreadyGone || wt::RegWriteDword(HKEY_LOCAL_MACHINE, kUninstallKey, "Test", 1));
        ASSERT_TRUE(wt::WriteFileBytes(kBatch, "@EXIT\r\n"));  // a leftover, to be replaced, not appended to
        ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, kSettings.c_str(), "NumBalls", 7));
        const HANDLE held = row.obstacle != HeldForEver ? INVALID_HANDLE_VALUE
                            : CreateFileA(kExe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(row.obstacle != NoCommandInterpreter || MoveFileA(interpreter.c_str(), away.c_str()));
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
