// The installer as a user meets it, against every obstacle a machine can put
// in its way. Each run ends with the machine exactly as it was before, or
// fully installed (or, when only the registry refuses, installed without an
// uninstall entry): never in between.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "msgbox.h"
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

std::string Bytes(const std::string& path)
{
    std::string bytes;
    if (!wt::ReadFileBytes(path, &bytes)) return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? "<none>" : "<folder>";
    return bytes;
}

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

// Everything the installer may touch.
struct State {
    std::string target, scratch, iniSaver, desktopSaver, active, name, command;
    bool operator==(const State& o) const
    {
        return target == o.target && scratch == o.scratch && iniSaver == o.iniSaver && desktopSaver == o.desktopSaver &&
               active == o.active && name == o.name && command == o.command;
    }
};

State ReadState()
{
    State s;
    s.target = Bytes(Target());
    s.scratch = Bytes(Scratch());
    s.iniSaver = wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE");
    wt::RegReadString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", &s.desktopSaver);
    wt::RegReadString(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive", &s.active);
    if (!wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", &s.name) && wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey))
        s.name = "<key without a name>";
    wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &s.command);
    return s;
}

void PrintTo(const State& s, std::ostream* os)
{
    *os << "{target " << s.target.size() << " bytes, scratch " << s.scratch.size() << " bytes, system.ini \""
        << s.iniSaver << "\", desktop \"" << s.desktopSaver << "\", active \"" << s.active << "\", entry \"" << s.name
        << "\" \"" << s.command << "\"}";
}

State Installed(bool withEntry)
{
    State s;
    s.target = Bytes(wt::Artefact("VelloranSaver.scr"));
    s.scratch = "<none>";
    s.iniSaver = s.desktopSaver = ShortPath(Target());
    s.active = "1";
    if (withEntry) {
        s.name = "Velloran Saver";
        s.command = Target() + " -UNINSTALL";
    }
    return s;
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
    HKEY desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &desktop) == ERROR_SUCCESS) {
        RegDeleteValueA(desktop, "SCRNSAVE.EXE");
        RegDeleteValueA(desktop, "ScreenSaveActive");
        RegCloseKey(desktop);
    }
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

enum class Obstacle { None, NoWelcome, InUse, OpenButDeletable, FolderAtScratch, FolderAtTarget, RegistryRefuses };

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
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | (obstacle == Obstacle::OpenButDeletable ? FILE_SHARE_DELETE : 0);
    HKEY key;
    switch (obstacle) {
    case Obstacle::InUse:
    case Obstacle::OpenButDeletable:
        held.file = CreateFileA(Target().c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held.file, INVALID_HANDLE_VALUE);
        break;
    case Obstacle::FolderAtScratch: ASSERT_TRUE(CreateDirectoryA(Scratch().c_str(), nullptr)); break;
    case Obstacle::FolderAtTarget: ASSERT_TRUE(CreateDirectoryA(Target().c_str(), nullptr)); break;
    case Obstacle::RegistryRefuses:
        // A lasting key cannot be made under a volatile one.
        wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallParent);
        held.volatileParent = true;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallParent, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        break;
    default: break;
    }
}

struct Box {
    const char* caption;
    const char* text;
    wt::BoxIcon icon;
    std::vector<int> buttons;
    int answer;
};

const std::vector<int> kYesNoCancel = {IDYES, IDNO, IDCANCEL};
const Box kCompleted{"Notice", "Installation completed!", wt::BoxIcon::Information, {IDOK}, IDOK};
const Box kUpToDateNo{"Notice", "You have an up-to-date version installed.  Do you still want to install?",
                      wt::BoxIcon::Information, kYesNoCancel, IDNO};
const Box kOutOfDateYes{"Install",
                        "You have an out-of-date version of Velloran Saver on your system.  Do you want to upgrade?",
                        wt::BoxIcon::None, kYesNoCancel, IDYES};
const Box kCannotDelete{
    "Install Error",
    "Error. Unable to delete old version of Velloran Saver. Make sure it is not in use, and then try again.",
    wt::BoxIcon::Warning, {IDOK}, IDOK};
const Box kSaveFailed{"Install Error", "Could not save the screensaver to file.", wt::BoxIcon::Warning, {IDOK}, IDOK};
const Box kNoEntry{"Notice", "Uninstall information could not be saved for this screensaver.",
                   wt::BoxIcon::Information, {IDOK}, IDOK};

enum class End { AsBefore, Installed, InstalledWithoutEntry };
enum class Copy { None, Older, SameVersion };

struct Row {
    const char* name;
    Copy installed;
    Obstacle obstacle;
    int welcome;  // the button pressed; 0 when no dialog may show
    std::vector<const Box*> boxes;
    DWORD exitCode;
    End end;
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

class Install : public ::testing::TestWithParam<Row> {};

TEST_P(Install, EndsAsBeforeOrFullyInstalled)
{
    const Row& row = GetParam();
    Reset();
    const std::string payload = Bytes(wt::Artefact("VelloranSaver.scr"));
    // The same version with other bytes, so that a replacement shows.
    if (row.installed != Copy::None) {
        const std::string copy =
            row.installed == Copy::Older ? Bytes(wt::Artefact("FixtureSaverOlder.scr")) : payload + "padding";
        ASSERT_TRUE(wt::WriteFileBytes(Target(), copy));
    }
    Held held;
    ASSERT_NO_FATAL_FAILURE(Put(row.obstacle, held));
    const State before = ReadState();

    wt::Process installer;
    const std::string program = row.obstacle == Obstacle::NoWelcome ? InstallerWithoutWelcome() : wt::Artefact("VelloranSaverSetup.exe");
    ASSERT_TRUE(installer.Start(wt::Quote(program)));
    if (row.welcome) {
        HWND welcome = wt::WaitForWindow("Velloran Saver Installer", kWaitMs, installer.Id());
        ASSERT_NE(welcome, nullptr) << "no welcome dialog";
        wt::PressButton(welcome, row.welcome);
    }
    for (const Box* expected : row.boxes) {
        HWND box = wt::WaitForWindow(expected->caption, kWaitMs, installer.Id());
        ASSERT_NE(box, nullptr) << "no box saying: " << expected->text;
        EXPECT_EQ(wt::MessageBoxText(box), expected->text);
        EXPECT_EQ(wt::MessageBoxButtons(box), expected->buttons) << expected->text;
        EXPECT_EQ(wt::ToString(wt::MessageBoxIcon(box, 5000)), wt::ToString(expected->icon)) << expected->text;
        wt::PressButton(box, expected->answer);
        ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kWaitMs));
    }
    DWORD code = 0;
    ASSERT_TRUE(installer.Wait(kWaitMs, &code)) << "still running: an unexpected box?";
    EXPECT_EQ(code, row.exitCode);
    EXPECT_EQ(ReadState(), row.end == End::AsBefore ? before : Installed(row.end == End::Installed));
}

const Row kRows[] = {
    {"Fresh", Copy::None, Obstacle::None, IDOK, {&kCompleted}, 1, End::Installed},
    {"Cancelled", Copy::None, Obstacle::None, IDCANCEL, {}, 2, End::AsBefore},
    {"WelcomeCannotShow", Copy::None, Obstacle::NoWelcome, 0, {}, 2, End::AsBefore},
    {"SameVersionKeptOnNo", Copy::SameVersion, Obstacle::None, IDOK, {&kUpToDateNo}, 1, End::AsBefore},
    {"OlderReplacedOnYes", Copy::Older, Obstacle::None, IDOK, {&kOutOfDateYes, &kCompleted}, 1, End::Installed},
    {"OlderInUse", Copy::Older, Obstacle::InUse, IDOK, {&kOutOfDateYes, &kCannotDelete}, 1, End::AsBefore},
    {"OlderOpenButDeletable", Copy::Older, Obstacle::OpenButDeletable, IDOK, {&kOutOfDateYes, &kCannotDelete}, 1,
     End::AsBefore},
    {"NewCopyCannotBeWritten", Copy::Older, Obstacle::FolderAtScratch, IDOK, {&kSaveFailed}, 1, End::AsBefore},
    {"FolderAtTarget", Copy::None, Obstacle::FolderAtTarget, IDOK, {&kSaveFailed}, 1, End::AsBefore},
    {"RegistryRefuses", Copy::None, Obstacle::RegistryRefuses, IDOK, {&kNoEntry, &kCompleted}, 1,
     End::InstalledWithoutEntry},
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
