// The modes that end at once, and the uninstall against what can stand in its way, as the whole program runs them.
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
