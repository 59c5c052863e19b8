// The installer against every obstacle a machine can put in its way: each run
// ends with the machine as it was, or fully installed (without an uninstall
// entry when only the registry refuses), never in between.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "winhelp.h"

namespace {

const DWORD kWaitMs = 30000;
const char kParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran Saver";
const char kDesktop[] = "Control Panel\\Desktop";
const char kRelated[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UpgradeCodes\\CD7C84B4EABC28C48B4756C6695E10E8";  // the package's, as Wine lists it

std::string Target() { return wt::WindowsDir() + "\\VelloranSaver.scr"; }

std::string Describe(const std::string& path)
{
    std::string bytes;
    if (wt::ReadFileBytes(path, &bytes)) return std::to_string(bytes.size()) + " #" + std::to_string(std::hash<std::string>()(bytes));
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? "none" : "folder";
}

// Everything the installer may touch.
std::string State()
{
    std::string state = Describe(Target());
    for (const std::string& copy : wt::FilesMatching(wt::WindowsDir() + "\\sci*.tmp")) state += copy;  // new copies left
    char ini[MAX_PATH];
    state += "|" + std::string(ini, GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", ini, MAX_PATH, "system.ini"));
    for (const char* value : {"SCRNSAVE.EXE", "ScreenSaveActive", "DisplayName", "UninstallString", "QuietUninstallString"}) {
        char text[2048];
        DWORD size = sizeof text;
        const bool read = RegGetValueA(value[0] == 'S' ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                       value[0] == 'S' ? kDesktop : kEntry, value, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS;
        state += "|" + std::string(read ? text : "-");
    }
    return state;
}

std::string InstalledState(bool withEntry)
{
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(Target().c_str(), shortPath, MAX_PATH);
    const std::string command = Target() + " -UNINSTALL";
    return Describe(wt::Artefact("VelloranSaver.scr")) + "|" + shortPath + "|" + shortPath + "|1|" +
           (withEntry ? "Velloran Saver|" + command + "|" + command : "-|-|-");
}

// kPlanted: run from a Downloads folder that holds a DLL named as one the system loads on demand (for
// themes). kLink: the welcome's link clicked.
enum Obstacle { kNone, kPackage, kSameVersion, kOlder, kOlderInUse, kFolderAtTarget, kRegistry, kPlanted, kLink };
enum End { kAsBefore, kInstalled, kInstalledWithoutEntry };
struct Box { const char *caption, *text; int answer; };
// model: null runs the installer itself, else SetupUnderTest.exe with these words of its model; welcome: the
// button pressed there, 0 when no dialog may show; asked: what the shell was asked for; silentExit: run with
// /S, ending so.
struct Row { const char* name; Obstacle obstacle; const char* model; int welcome; std::vector<Box> boxes; End end; const char* asked = ""; int silentExit = -1; };
class Install : public ::testing::TestWithParam<Row> {};

TEST_P(Install, EndsAsBeforeOrFullyInstalled)
{
    const Row& row = GetParam();
    DeleteFileA(Target().c_str()), RemoveDirectoryA(Target().c_str());
    for (const char* key : {kParent, kRelated}) wt::RegRemoveTree(HKEY_LOCAL_MACHINE, key);
    ASSERT_TRUE(row.obstacle != kPackage || wt::RegWriteDword(HKEY_LOCAL_MACHINE, kRelated, "2C1E9E3C9F1A9534EB3D257A1FB2AF01", 0));
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", nullptr, "system.ini");
    for (const char* value : {"SCRNSAVE.EXE", "ScreenSaveActive"}) RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, value);
    // The same version with other bytes, so that a replacement would show; or one step older in the version
    // text's lowest place: its last digit but a 0 made 0, in the resource's UTF-16.
    std::string bytes;
    if (row.obstacle >= kSameVersion && row.obstacle <= kOlderInUse) {
        ASSERT_TRUE(wt::ReadFileBytes(wt::Artefact("VelloranSaver.scr"), &bytes));
        const size_t text = bytes.rfind(std::string(reinterpret_cast<const char*>(u"FileVersion"), 24)) + 24;
        if (row.obstacle != kSameVersion) bytes[bytes.find_last_of("123456789", bytes.find(std::string(3, '\0'), text))] = '0';
        ASSERT_TRUE(wt::WriteFileBytes(Target(), row.obstacle == kSameVersion ? bytes + "padding" : bytes));
    }
    if (row.obstacle == kFolderAtTarget) CreateDirectoryA(Target().c_str(), nullptr);
    HKEY key = nullptr;  // a lasting key cannot be made under a volatile one
    if (row.obstacle == kRegistry)
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParent, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    std::unique_ptr<HKEY__, decltype(&RegCloseKey)> volatileKey(key, &RegCloseKey);  // both closed however the row ends
    std::unique_ptr<void, decltype(&CloseHandle)> inUse(row.obstacle != kOlderInUse ? INVALID_HANDLE_VALUE
        : CreateFileA(Target().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr), &CloseHandle);
    const std::string before = State(), prompts = wt::Artefact("prompts.log");
    DeleteFileA(prompts.c_str());
    SetEnvironmentVariableA("VELLORAN_MODEL", row.model);
    // A temporary folder whose name has no ANSI form, as a user name outside the code page gives: Greek and
    // Thai, which no code page has both of.
    const std::string here = wt::Artefact("");
    const std::wstring temp = std::wstring(here.begin(), here.end()) + L"\u0394\u0e01";
    CreateDirectoryW(temp.c_str(), nullptr);
    for (const wchar_t* name : {L"TEMP", L"TMP"}) SetEnvironmentVariableW(name, temp.c_str());
    std::string program = wt::Artefact(row.model ? "SetupUnderTest.exe" : "VelloranSaverSetup.exe");
    const std::string downloads = wt::Artefact("Downloads"), mark = downloads + "\\uxtheme.dll.mark";
    if (row.obstacle == kPlanted) {
        CreateDirectoryA(downloads.c_str(), nullptr);
        DeleteFileA(mark.c_str());
        // Wine prefers its own DLLs; for this copy, as on Windows, one beside the program.
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides", "uxtheme", REG_SZ,
                        "native,builtin", 15);
        ASSERT_TRUE(CopyFileA(program.c_str(), (downloads + "\\setup.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(wt::Artefact("planted.dll").c_str(), (downloads + "\\uxtheme.dll").c_str(), FALSE));
        program = downloads + "\\setup.exe";
    }

    wt::Process installer;
    ASSERT_TRUE(installer.Start(wt::Quote(program) + (row.silentExit >= 0 ? " /S" : "")));
    if (row.welcome) {
        HWND welcome = wt::WaitForWindow("Velloran Saver Installer", kWaitMs, installer.Id());
        EXPECT_EQ(wt::ItemText(welcome, 1001), "Thanks for downloading Velloran Saver!");
        if (row.obstacle == kLink) SendDlgItemMessageA(welcome, 1000, WM_LBUTTONDOWN, 0, 0);
        wt::PressButton(welcome, row.welcome);
    }
    for (const Box& expected : row.boxes) {
        HWND box = wt::WaitForWindow(expected.caption, kWaitMs, installer.Id());
        ASSERT_NE(box, nullptr) << "no box saying: " << expected.text;
        EXPECT_EQ(wt::ItemText(box, 0xFFFF), expected.text);
        wt::PressButton(box, expected.answer);
        ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kWaitMs));
    }
    DWORD code = 0;
    ASSERT_TRUE(installer.Wait(kWaitMs, &code)) << "still running: an unexpected box?";
    EXPECT_EQ(code, row.silentExit >= 0 ? DWORD(row.silentExit) : row.welcome == IDOK ? 1u : 2u);
    EXPECT_EQ(State(), row.end == kAsBefore ? before : InstalledState(row.end == kInstalled));
    EXPECT_FALSE(wt::FileExists(mark)) << "the planted DLL ran in the installer";
    std::string asked;
    wt::ReadFileBytes(prompts, &asked);
    EXPECT_EQ(asked, row.asked);
}

const Box kCompleted{"Notice", "Installation completed!", IDOK};
// Asked: one prompt, for the machine-wide half, once the user has said Install, and no second security warning
// for the downloaded file before it; the control panel by its full path, from the system folder, on the Screen
// Saver page. An installer with administrator rights has the desktop shell open the link, with the rights of the
// user who is signed in.
INSTANTIATE_TEST_SUITE_P(Obstacles, Install, ::testing::Values(
    Row{"LinkOpensThroughTheDesktopShell", kLink, "administrator", IDCANCEL, {}, kAsBefore, "open http://www.velloran.example/saver/ as the user, shown 5\n"},
    Row{"WelcomeCannotShow", kNone, "no-welcome", 0, {}, kAsBefore},
    Row{"SameVersionKeptOnNo", kSameVersion, nullptr, IDOK, {{"Notice", "You have an up-to-date version installed.  Do you still want to install?", IDNO}}, kAsBefore},
    Row{"OlderInUse", kOlderInUse, nullptr, IDOK, {{"Install", "You have an out-of-date version of Velloran Saver on your system.  Do you want to upgrade?", IDYES}, {"Install Error", "Error. Unable to delete old version of Velloran Saver. Make sure it is not in use, and then try again.", IDOK}}, kAsBefore},
    Row{"RegistryRefuses", kRegistry, nullptr, IDOK, {{"Notice", "Uninstall information could not be saved for this screensaver.", IDOK}, kCompleted}, kInstalledWithoutEntry},
    Row{"PackageOwnsTheFile", kPackage, nullptr, IDOK, {{"Install", "Velloran Saver is installed on this computer by its Windows Installer package (VelloranSaver.msi or VelloranSaver-x64.msi, product code {C3E9E1C2-A1F9-4359-BED3-52A7F12BFA10}), which owns the screensaver's file.  Remove that package first (Apps & features, or msiexec /x {C3E9E1C2-A1F9-4359-BED3-52A7F12BFA10}), then run this installer again.", IDOK}}, kAsBefore},
    Row{"SilentOlderReplacedBy32BitOn64Bit", kOlder, "wow64", 0, {}, kInstalled, "", 0},
    Row{"SilentSameLeftAlone", kSameVersion, nullptr, 0, {}, kAsBefore, "", 4},
    Row{"SilentCannotWrite", kFolderAtTarget, nullptr, 0, {}, kAsBefore, "", 5},
    Row{"SilentRegistryRefuses", kRegistry, nullptr, 0, {}, kInstalledWithoutEntry, "", 6},
    Row{"SilentWithoutRights", kNone, "", 0, {}, kAsBefore, "", 3},
    Row{"WithoutRightsAsksForTheMachineOnly", kNone, "", IDOK, {kCompleted}, kInstalled, "runas /MACHINEWIDE without zone check\nopen C:\\windows\\system32\\control.exe desk.cpl,,@screensaver C:\\windows\\system32\\\n"},
    Row{"WithoutRightsDeclined", kNone, "declined", IDOK, {{"Notice", "Nothing was changed: installing Velloran Saver needs administrator rights.", IDOK}}, kAsBefore, "runas /MACHINEWIDE without zone check\n"},
    Row{"PlantedDllNeverLoads", kPlanted, nullptr, IDOK, {kCompleted}, kInstalled}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
