// The installer as a user meets it, against every obstacle a machine can put
// in its way. Each run ends with the machine exactly as it was before, or
// fully installed (or, when only the registry refuses, installed without an
// uninstall entry): never in between.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pack_cases.h"
#include "version_pack.h"
#include "winhelp.h"

namespace {

const DWORD kWaitMs = 30000;
const char kUninstallParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran Saver";
const char kDesktopKey[] = "Control Panel\\Desktop";

std::string Target() { return wt::WindowsDir() + "\\VelloranSaver.scr"; }
std::string Scratch() { return Target() + ".new"; }

// A file as the state shows it: absent, a folder, or its size and checksum.
std::string Describe(const std::string& path)
{
    std::string bytes;
    if (!wt::ReadFileBytes(path, &bytes))
        return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? "none" : "folder";
    return std::to_string(bytes.size()) + " bytes #" + std::to_string(std::hash<std::string>()(bytes));
}

std::string Value(HKEY root, const char* key, const char* name)
{
    std::string value = "-";
    return wt::RegReadString(root, key, name, &value), value;
}

// Everything the installer may touch, one line each.
std::string State()
{
    const std::string entry = wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)
                                  ? Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName") + " / " +
                                        Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString")
                                  : "none";
    return "target " + Describe(Target()) + "\nscratch " + Describe(Scratch()) + "\nsystem.ini " +
           wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE") + "\ndesktop " +
           Value(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE") + " active " +
           Value(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive") + "\nentry " + entry;
}

std::string InstalledState(bool withEntry)
{
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(Target().c_str(), shortPath, MAX_PATH);
    return "target " + Describe(wt::Artefact("VelloranSaver.scr")) + "\nscratch none\nsystem.ini " + shortPath +
           "\ndesktop " + shortPath + " active 1\nentry " +
           (withEntry ? "Velloran Saver / " + Target() + " -UNINSTALL" : "none");
}

// Back to a machine that never saw the screensaver.
void Reset()
{
    for (const std::string& path : {Target(), Scratch()}) {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(path.c_str());
    }
    wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", nullptr, "system.ini");
    for (const char* value : {"SCRNSAVE.EXE", "ScreenSaveActive"})
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, value);
}

// A copy of the installer whose welcome dialog cannot be created: its one
// control is of a class that nobody registered.
std::string InstallerWithoutWelcome()
{
    const std::string copy = wt::Artefact("NoWelcome.exe");
    EXPECT_TRUE(CopyFileA(wt::Artefact("VelloranSaverSetup.exe").c_str(), copy.c_str(), FALSE));
    WORD t[48] = {};
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(t);
    dialog->style = WS_POPUP;
    dialog->cdit = 1;
    reinterpret_cast<DLGITEMTEMPLATE*>(&t[12])->style = WS_CHILD;  // after empty menu, class and title
    WORD* end = &t[21];
    for (const char* c = "NoSuchClass"; *c; ++c) *end++ = WORD(*c);
    end += 3;  // terminator, no title, no creation data
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    EXPECT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(105), 0x409, t,
                                DWORD(reinterpret_cast<char*>(end) - reinterpret_cast<char*>(t))));
    EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
    return copy;
}

enum class Obstacle {
    None, NoWelcome, SameVersion, Older, OlderInUse, OlderOpenButDeletable, FolderAtScratch, FolderAtTarget,
    RegistryRefuses
};

// What the obstacle holds while the installer runs; let go at the end of the row.
struct Held {
    HANDLE file = INVALID_HANDLE_VALUE;
    bool volatileParent = false;
    ~Held()
    {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (volatileParent) wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallParent);
    }
};

void Put(Obstacle obstacle, Held& held)
{
    const bool older = obstacle >= Obstacle::Older && obstacle <= Obstacle::FolderAtScratch;
    if (older || obstacle == Obstacle::SameVersion) {
        std::string bytes;
        ASSERT_TRUE(wt::ReadFileBytes(wt::Artefact(older ? "FixtureSaverOlder.scr" : "VelloranSaver.scr"), &bytes));
        // The same version with other bytes, so that a replacement would show.
        ASSERT_TRUE(wt::WriteFileBytes(Target(), older ? bytes : bytes + "padding"));
    }
    if (obstacle == Obstacle::OlderInUse || obstacle == Obstacle::OlderOpenButDeletable) {
        const DWORD sharing =
            FILE_SHARE_READ | FILE_SHARE_WRITE | (obstacle == Obstacle::OlderInUse ? 0 : FILE_SHARE_DELETE);
        held.file = CreateFileA(Target().c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held.file, INVALID_HANDLE_VALUE);
    }
    if (obstacle == Obstacle::FolderAtScratch || obstacle == Obstacle::FolderAtTarget) {
        ASSERT_TRUE(CreateDirectoryA((obstacle == Obstacle::FolderAtTarget ? Target() : Scratch()).c_str(), nullptr));
    }
    if (obstacle == Obstacle::RegistryRefuses) {
        // A lasting key cannot be made under a volatile one.
        wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallParent);
        held.volatileParent = true;
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallParent, 0, nullptr, REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
}

struct Box {
    const char* caption;
    const char* text;
    int answer;
};

const Box kCompleted{"Notice", "Installation completed!", IDOK};
const Box kUpToDateNo{"Notice", "You have an up-to-date version installed.  Do you still want to install?", IDNO};
const Box kOutOfDateYes{
    "Install", "You have an out-of-date version of Velloran Saver on your system.  Do you want to upgrade?", IDYES};
const Box kCannotDelete{
    "Install Error",
    "Error. Unable to delete old version of Velloran Saver. Make sure it is not in use, and then try again.", IDOK};
const Box kSaveFailed{"Install Error", "Could not save the screensaver to file.", IDOK};
const Box kNoEntry{"Notice", "Uninstall information could not be saved for this screensaver.", IDOK};

void Answer(const Box& expected, DWORD pid)
{
    HWND box = wt::WaitForWindow(expected.caption, kWaitMs, pid);
    ASSERT_NE(box, nullptr) << "no box saying: " << expected.text;
    EXPECT_EQ(wt::MessageBoxText(box), expected.text);
    wt::PressButton(box, expected.answer);
    ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kWaitMs));
}

enum class End { AsBefore, Installed, InstalledWithoutEntry };

struct Row {
    const char* name;
    Obstacle obstacle;
    int welcome;  // the button pressed (Cancel ends with 2); 0 when no dialog may show
    std::vector<const Box*> boxes;
    End end;
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

class Install : public ::testing::TestWithParam<Row> {};

TEST_P(Install, EndsAsBeforeOrFullyInstalled)
{
    const Row& row = GetParam();
    Reset();
    Held held;
    ASSERT_NO_FATAL_FAILURE(Put(row.obstacle, held));
    const std::string before = State();

    const std::string program =
        row.obstacle == Obstacle::NoWelcome ? InstallerWithoutWelcome() : wt::Artefact("VelloranSaverSetup.exe");
    wt::Process installer;
    ASSERT_TRUE(installer.Start(wt::Quote(program)));
    if (row.welcome) {
        HWND welcome = wt::WaitForWindow("Velloran Saver Installer", kWaitMs, installer.Id());
        ASSERT_NE(welcome, nullptr) << "no welcome dialog";
        EXPECT_EQ(wt::ItemText(welcome, 1001), "Thanks for downloading Velloran Saver!");
        EXPECT_EQ(wt::ItemText(welcome, 1002), "Velloran Saver is freeware and may be freely distributed.");
        wt::PressButton(welcome, row.welcome);
    }
    for (const Box* box : row.boxes) ASSERT_NO_FATAL_FAILURE(Answer(*box, installer.Id()));
    DWORD code = 0;
    ASSERT_TRUE(installer.Wait(kWaitMs, &code)) << "still running: an unexpected box?";
    EXPECT_EQ(code, row.welcome == IDOK ? 1u : 2u);
    EXPECT_EQ(State(), row.end == End::AsBefore ? before : InstalledState(row.end == End::Installed));
}

const Row kRows[] = {
    {"Fresh", Obstacle::None, IDOK, {&kCompleted}, End::Installed},
    {"Cancelled", Obstacle::None, IDCANCEL, {}, End::AsBefore},
    {"WelcomeCannotShow", Obstacle::NoWelcome, 0, {}, End::AsBefore},
    {"SameVersionKeptOnNo", Obstacle::SameVersion, IDOK, {&kUpToDateNo}, End::AsBefore},
    {"OlderReplacedOnYes", Obstacle::Older, IDOK, {&kOutOfDateYes, &kCompleted}, End::Installed},
    {"OlderInUse", Obstacle::OlderInUse, IDOK, {&kOutOfDateYes, &kCannotDelete}, End::AsBefore},
    {"OlderOpenButDeletable", Obstacle::OlderOpenButDeletable, IDOK, {&kOutOfDateYes, &kCannotDelete}, End::AsBefore},
    {"NewCopyCannotBeWritten", Obstacle::FolderAtScratch, IDOK, {&kSaveFailed}, End::AsBefore},
    {"FolderAtTarget", Obstacle::FolderAtTarget, IDOK, {&kSaveFailed}, End::AsBefore},
    {"RegistryRefuses", Obstacle::RegistryRefuses, IDOK, {&kNoEntry, &kCompleted}, End::InstalledWithoutEntry},
};

INSTANTIATE_TEST_SUITE_P(Obstacles, Install, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The version check packs with the Windows runtime's number conversion; it
// must agree with the native one the core is tested with.
TEST(PackFileVersion, WindowsRuntimeAgreesWithTheNativeCases)
{
    for (const PackCase& c : kPackCases) {
        std::string text = c.text;
        EXPECT_EQ(PackFileVersion(&text[0]), c.packed) << c.name << ": \"" << c.text << "\"";
    }
}

}  // namespace
