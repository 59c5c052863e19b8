// The uninstall mode, as the system's list of programs starts it, against what
// can stand in its way. Only the program and its entry ever go.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

enum Obstacle { None, EntryAlreadyGone, NoCommandInterpreter, HeldForEver };

TEST(Uninstall, RemovesTheProgramAndItsEntryOrLeavesTheEntryToTryAgain)
{
    const struct {
        const char* name;
        Obstacle obstacle;
        bool exeGone, entryGone;
    } rows[] = {{"normal", None, true, true}, {"entry already gone", EntryAlreadyGone, true, true},
                {"batch cannot start", NoCommandInterpreter, false, false}, {"never deletable", HeldForEver, false, true}};
    const std::string settings = std::string("Software\\") + kRegistryRoot + "\\VelloranSaver\\Settings";
    // Blanks and long names, so that the batch must use the short form.
    const std::string folder = "C:\\Program Files\\Velloran Saver Test Folder", exe = folder + "\\VelloranSaver.scr";
    const std::string batch = wt::WindowsDir() + "\\uninstss.bat";
    char cmd[MAX_PATH] = {};
    GetSystemDirectoryA(cmd, MAX_PATH);
    const std::string interpreter = std::string(cmd) + "\\cmd.exe", away = interpreter + ".away";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& row : rows) {
        ASSERT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), exe.c_str(), FALSE)) << row.name;
        ASSERT_TRUE(wt::WriteFileBytes(batch, "@EXIT\r\n"));  // a leftover, which must be replaced, not appended to
        HKEY key;
        if (row.obstacle != EntryAlreadyGone &&
            !RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
            RegCloseKey(key);
        ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, settings.c_str(), "NumBalls", 7));
        const HANDLE held = row.obstacle != HeldForEver ? INVALID_HANDLE_VALUE
                                                        : CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (row.obstacle == NoCommandInterpreter) {
            ASSERT_TRUE(MoveFileA(interpreter.c_str(), away.c_str()));
        }

        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(exe) + " -UNINSTALL"));
        EXPECT_TRUE(saver.Wait(20000)) << row.name << ": the uninstall mode must end at once";
        // The batch goes in every case: at once when it could not start, within its bound otherwise.
        EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(batch) && wt::FileExists(exe) != row.exeGone; }, 60000))
            << row.name << ": uninstss.bat left behind, or the executable not " << (row.exeGone ? "gone" : "kept");
        EXPECT_EQ(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), !row.entryGone) << row.name;
        DWORD balls = 0;
        EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, settings.c_str(), "NumBalls", &balls) && balls == 7) << row.name;
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        if (row.obstacle == NoCommandInterpreter) MoveFileA(away.c_str(), interpreter.c_str());
        wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        DeleteFileA(exe.c_str());
    }
}

}  // namespace
