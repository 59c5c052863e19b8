// The uninstall mode, as the system's list of programs starts it, against
// what can stand in its way. Only the program and its entry ever go: the
// user's settings and the system's choice of screensaver stay.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

const std::string kSettingsKey = std::string("Software\\") + kRegistryRoot + "\\VelloranSaver\\Settings";
const char kFolder[] = "C:\\Program Files\\Velloran Saver Test Folder";
const char kIniSaver[] = "C:\\WINDOWS\\VELLOR~1.SCR";

enum class Obstacle { None, EntryAlreadyGone, NoCommandInterpreter, HeldForEver };

// What the obstacle holds while the batch runs; let go at the end of the row.
struct Held {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string interpreter;
    ~Held()
    {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (!interpreter.empty()) MoveFileA((interpreter + ".away").c_str(), interpreter.c_str());
    }
};

struct Row {
    const char* name;
    Obstacle obstacle;
    bool exeGone, entryGone;
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

class Uninstall : public ::testing::TestWithParam<Row> {};

TEST_P(Uninstall, RemovesTheProgramAndItsEntryOrLeavesBothToTryAgain)
{
    const Row& row = GetParam();
    // A folder with blanks and long names, so that the batch must quote its short form.
    CreateDirectoryA(kFolder, nullptr);
    const std::string exe = std::string(kFolder) + "\\VelloranSaver.scr";
    const std::string batch = wt::WindowsDir() + "\\uninstss.bat";
    ASSERT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), exe.c_str(), FALSE));
    // A leftover from an interrupted uninstall; appended to, it would end the batch at once.
    ASSERT_TRUE(wt::WriteFileBytes(batch, "@EXIT\r\n"));
    wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    HKEY key;
    if (row.obstacle != Obstacle::EntryAlreadyGone) {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, kSettingsKey.c_str(), "NumBalls", 7));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", kIniSaver, "system.ini");

    Held held;
    if (row.obstacle == Obstacle::HeldForEver) {
        held.file = CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held.file, INVALID_HANDLE_VALUE);
    }
    if (row.obstacle == Obstacle::NoCommandInterpreter) {
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        const std::string interpreter = std::string(system) + "\\cmd.exe";
        ASSERT_TRUE(MoveFileA(interpreter.c_str(), (interpreter + ".away").c_str()));
        held.interpreter = interpreter;
    }

    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(exe) + " -UNINSTALL"));
    ASSERT_TRUE(saver.Wait(20000)) << "the uninstall mode must end at once";
    // The batch file goes in every case: at once when the program could not
    // start it, within its bound of about half a minute otherwise.
    EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(batch) && wt::FileExists(exe) != row.exeGone; }, 60000))
        << "uninstss.bat left behind, or the executable not " << (row.exeGone ? "gone" : "kept");
    EXPECT_EQ(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), !row.entryGone);

    DWORD balls = 0;
    EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kSettingsKey.c_str(), "NumBalls", &balls));
    EXPECT_EQ(balls, 7u);
    EXPECT_EQ(wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE"), kIniSaver);
}

const Row kRows[] = {
    {"Normal", Obstacle::None, true, true},
    {"EntryAlreadyGone", Obstacle::EntryAlreadyGone, true, true},
    // Nothing would delete the executable: the entry stays to offer the uninstall again.
    {"BatchCannotStart", Obstacle::NoCommandInterpreter, false, false},
    {"ExecutableNeverDeletable", Obstacle::HeldForEver, false, true},
};

INSTANTIATE_TEST_SUITE_P(Obstacles, Uninstall, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
