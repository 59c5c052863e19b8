// The uninstall mode, as the system's software list starts it.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

const std::string kSettingsKey = std::string("Software\\") + kRegistryRoot + "\\VelloranSaver\\Settings";

struct Installation {
    std::string exe;
    std::string batch = wt::WindowsDir() + "\\uninstss.bat";
};

// Puts the screensaver where an installation would, with its uninstall entry,
// its settings and the system's screensaver entry.
Installation Install(const std::string& folder, bool withUninstallKey)
{
    Installation inst;
    CreateDirectoryA(folder.c_str(), nullptr);
    inst.exe = folder + "\\VelloranSaver.scr";
    EXPECT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), inst.exe.c_str(), FALSE));
    if (withUninstallKey) {
        HKEY key;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        const std::string command = inst.exe + " -UNINSTALL";
        RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       DWORD(command.size() + 1));
        RegCloseKey(key);
    }
    EXPECT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, kSettingsKey.c_str(), "NumBalls", 7));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\VELLOR~1.SCR", "system.ini");
    return inst;
}

void UninstallAndExpectItGone(const Installation& inst)
{
    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(inst.exe) + " -UNINSTALL"));
    ASSERT_TRUE(saver.Wait(20000)) << "the uninstall mode must end at once";

    EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(inst.exe); }, 30000)) << "executable left behind";
    EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(inst.batch); }, 30000)) << "uninstss.bat left behind";
    EXPECT_FALSE(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

    // Only the program and its entry go: the user's settings and the system's choice stay.
    DWORD balls = 0;
    EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kSettingsKey.c_str(), "NumBalls", &balls));
    EXPECT_EQ(balls, 7u);
    EXPECT_EQ(wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE"), "C:\\WINDOWS\\VELLOR~1.SCR");
}

TEST(Uninstall, RemovesTheExecutableTheEntryAndItsBatchFile)
{
    UninstallAndExpectItGone(Install(wt::WindowsDir(), true));
}

TEST(Uninstall, WorksWhenTheEntryIsAlreadyGone)
{
    UninstallAndExpectItGone(Install(wt::WindowsDir(), false));
}

TEST(Uninstall, HandlesAFolderWithBlanksAndLongNames)
{
    CreateDirectoryA("C:\\Program Files\\Velloran Saver Test Folder", nullptr);
    UninstallAndExpectItGone(Install("C:\\Program Files\\Velloran Saver Test Folder\\Second Level", true));
}

TEST(Uninstall, ReplacesALeftoverBatchFileInsteadOfAppending)
{
    const Installation inst = Install(wt::WindowsDir(), true);
    // Were the new lines appended, this leftover would end the batch before it deletes anything.
    ASSERT_TRUE(wt::WriteFileBytes(inst.batch, "@EXIT\r\n"));
    UninstallAndExpectItGone(inst);
}

TEST(Uninstall, WritesTheBatchFileWithTheShortQuotedPath)
{
    const Installation inst = Install(wt::WindowsDir(), true);

    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(inst.exe.c_str(), shortPath, MAX_PATH), 0u);
    // Held open, as by a copy still running, the executable cannot go yet: the
    // batch file keeps looping and can be read meanwhile.
    HANDLE hold = CreateFileA(inst.exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);

    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(inst.exe) + " -UNINSTALL"));
    ASSERT_TRUE(saver.Wait(20000));
    std::string text;
    ASSERT_TRUE(wt::WaitUntil([&] { return wt::ReadFileBytes(inst.batch, &text) && !text.empty(); }, 10000));
    const std::string s = shortPath;
    EXPECT_EQ(text, ":f\r\nDEL \"" + s + "\"\r\nIF EXIST \"" + s + "\" goto f\r\nDEL %0\r\n");
    EXPECT_TRUE(wt::FileExists(inst.exe)) << "deleted while still open";

    CloseHandle(hold);
    EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(inst.exe) && !wt::FileExists(inst.batch); }, 30000));
}

}  // namespace
