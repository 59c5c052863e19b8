// The installer as a user meets it: started from its download folder,
// driven through its welcome dialog and message boxes, judged by what it
// leaves in the Windows directory, system.ini and the registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "msgbox.h"
#include "pack_cases.h"
#include "version_pack.h"
#include "winhelp.h"

namespace {

const DWORD kWaitMs = 30000;
const char kWelcomeCaption[] = "Velloran Saver Installer";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran Saver";
const char kDesktopKey[] = "Control Panel\\Desktop";

const char kCompleted[] = "Installation completed!";
const char kUpToDate[] = "You have an up-to-date version installed.  Do you still want to install?";
const char kOutOfDate[] = "You have an out-of-date version of Velloran Saver on your system.  Do you want to upgrade?";
const char kCannotDelete[] =
    "Error. Unable to delete old version of Velloran Saver. Make sure it is not in use, and then try again.";
const char kSaveFailed[] = "Could not save the screensaver to file.";

std::string Target() { return wt::WindowsDir() + "\\VelloranSaver.scr"; }

std::string Bytes(const std::string& path)
{
    std::string bytes;
    EXPECT_TRUE(wt::ReadFileBytes(path, &bytes)) << path;
    return bytes;
}

std::string Payload() { return Bytes(wt::Artefact("VelloranSaver.scr")); }

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

// Everything the installer may write besides the file itself.
struct Traces {
    std::string iniSaver, desktopSaver, screenSaveActive;
    bool uninstallKey = false;
    int scratchFiles = 0;

    bool operator==(const Traces& o) const
    {
        return iniSaver == o.iniSaver && desktopSaver == o.desktopSaver &&
               screenSaveActive == o.screenSaveActive && uninstallKey == o.uninstallKey &&
               scratchFiles == o.scratchFiles;
    }
};

int CountScratchFiles()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((std::string(temp) + "sci*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileA(find, &data));
    FindClose(find);
    return count;
}

Traces ReadTraces()
{
    Traces t;
    t.iniSaver = wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE");
    wt::RegReadString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", &t.desktopSaver);
    wt::RegReadString(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive", &t.screenSaveActive);
    t.uninstallKey = wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
    t.scratchFiles = CountScratchFiles();
    return t;
}

void PrintTo(const Traces& t, std::ostream* os)
{
    *os << "{system.ini \"" << t.iniSaver << "\", desktop \"" << t.desktopSaver << "\", active \""
        << t.screenSaveActive << "\", uninstall key " << t.uninstallKey << ", scratch files " << t.scratchFiles
        << "}";
}

struct Box {
    const char* caption;
    const char* text;
    wt::BoxIcon icon;
    std::vector<int> buttons;
};

const Box kCompletedBox{"Notice", kCompleted, wt::BoxIcon::Information, {IDOK}};
const Box kUpToDateBox{"Notice", kUpToDate, wt::BoxIcon::Information, {IDYES, IDNO, IDCANCEL}};
const Box kOutOfDateBox{"Install", kOutOfDate, wt::BoxIcon::None, {IDYES, IDNO, IDCANCEL}};
const Box kCannotDeleteBox{"Install Error", kCannotDelete, wt::BoxIcon::Warning, {IDOK}};
const Box kSaveFailedBox{"Install Error", kSaveFailed, wt::BoxIcon::Warning, {IDOK}};

// One run of the installer, from its start to its exit code.
class Installer {
public:
    // Starts it and waits for the welcome dialog.
    void Start()
    {
        ASSERT_TRUE(process_.Start(wt::Quote(wt::Artefact("VelloranSaverSetup.exe"))));
        welcome_ = wt::WaitForWindow(kWelcomeCaption, kWaitMs, process_.Id());
        ASSERT_NE(welcome_, nullptr) << "no welcome dialog";
    }

    HWND Welcome() const { return welcome_; }

    // Waits for the expected message box, checks it, and answers it.
    void Expect(const Box& expected, int answer)
    {
        HWND box = wt::WaitForWindow(expected.caption, kWaitMs, process_.Id());
        ASSERT_NE(box, nullptr) << "no box captioned \"" << expected.caption << "\", expected: " << expected.text;
        EXPECT_EQ(wt::MessageBoxText(box), expected.text);
        EXPECT_EQ(wt::MessageBoxButtons(box), expected.buttons) << expected.text;
        const wt::BoxIcon icon = wt::MessageBoxIcon(box, 5000);
        EXPECT_EQ(icon, expected.icon) << "icon " << wt::ToString(icon) << ", expected "
                                       << wt::ToString(expected.icon) << ": " << expected.text;
        wt::PressButton(box, answer);
        ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kWaitMs));
    }

    // The exit code, once the installer has ended; no other box may come up.
    DWORD ExitCode()
    {
        DWORD code = 0;
        EXPECT_TRUE(process_.Wait(kWaitMs, &code)) << "installer still running";
        return code;
    }

private:
    wt::Process process_;
    HWND welcome_ = nullptr;
};

void ExpectInstalled(const std::string& payload)
{
    const std::string target = Target();
    EXPECT_TRUE(Bytes(target) == payload) << "the installed file is not the carried screensaver";
    const Traces t = ReadTraces();
    EXPECT_EQ(t.iniSaver, ShortPath(target));
    EXPECT_EQ(t.desktopSaver, ShortPath(target));
    EXPECT_EQ(t.screenSaveActive, "1");
    EXPECT_EQ(t.scratchFiles, 0);

    struct Value {
        const char* name;
        std::string expected;
    } values[] = {
        {"DisplayName", "Velloran Saver"},
        {"UninstallString", target + " -UNINSTALL"},
        {"DisplayIcon", target},
        {"DisplayVersion", "1.0.1"},
        {"Publisher", "Velloran Software"},
    };
    for (const Value& v : values) {
        std::string actual;
        EXPECT_TRUE(wt::RegReadString(HKEY_LOCAL_MACHINE, kUninstallKey, v.name, &actual)) << v.name;
        EXPECT_EQ(actual, v.expected) << v.name;
    }
    for (const char* flag : {"NoModify", "NoRepair"}) {
        DWORD value = 0;
        EXPECT_TRUE(wt::RegReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, flag, &value)) << flag;
        EXPECT_EQ(value, 1u) << flag;
    }
}

TEST(FreshInstall, WritesTheSaverMakesItActiveAndRecordsTheUninstallEntry)
{
    ASSERT_FALSE(wt::FileExists(Target()));
    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    wt::PressButton(installer.Welcome(), IDOK);
    ASSERT_NO_FATAL_FAILURE(installer.Expect(kCompletedBox, IDOK));
    EXPECT_EQ(installer.ExitCode(), 1u);
    ExpectInstalled(Payload());
    // The short form is what the system reads; it must name the same file.
    EXPECT_NE(ShortPath(Target()), "");
}

TEST(WelcomeDialog, NamesTheSaverAndOffersInstallOrCancel)
{
    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    HWND dialog = installer.Welcome();
    EXPECT_EQ(wt::ItemText(dialog, 1001), "Thanks for downloading Velloran Saver!");
    EXPECT_EQ(wt::ItemText(dialog, 1002), "Velloran Saver is freeware and may be freely distributed.");
    EXPECT_EQ(wt::ItemText(dialog, 1000), "http://www.velloran.example/saver/");
    EXPECT_EQ(wt::ItemText(dialog, IDOK), "&Install");
    EXPECT_EQ(wt::ItemText(dialog, IDCANCEL), "Cancel");
    EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);

    // The controls without ids, in the order the dialog holds them.
    std::vector<std::string> statics;
    int icons = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != 0xFFFF) continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icons += SendMessageA(child, STM_GETICON, 0, 0) != 0;
        else
            statics.push_back(wt::Text(child));
    }
    EXPECT_EQ(icons, 1);
    const std::vector<std::string> expected = {
        "Disclaimer: This software is provided \"as is,\" without warranty of any kind, expressed or implied.",
        "Online info is at:"};
    EXPECT_EQ(statics, expected);

    wt::PressButton(dialog, IDCANCEL);
    EXPECT_EQ(installer.ExitCode(), 2u);
}

// A click on the link opens its address with the system's handler for web
// addresses, here one that notes what it was given; the dialog stays open.
TEST(WelcomeDialog, LinkOpensTheDownloadPageAndLeavesTheDialogOpen)
{
    const std::string note = wt::HereDir() + "\\opened.txt";
    const std::string handler = "cmd.exe /c echo %1>" + note;
    const char kHttpOpen[] = "Software\\Classes\\http\\shell\\open";
    wt::RegRemoveTree(HKEY_LOCAL_MACHINE, (std::string(kHttpOpen) + "\\ddeexec").c_str());
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kHttpOpen) + "\\command").c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(handler.c_str()), DWORD(handler.size() + 1));
    RegCloseKey(key);

    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    HWND link = GetDlgItem(installer.Welcome(), 1000);
    ASSERT_NE(link, nullptr);
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3));
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 3));

    std::string opened;
    // echo ends its line last, so a line end means the note is complete.
    EXPECT_TRUE(wt::WaitUntil([&] { return wt::ReadFileBytes(note, &opened) && opened.find('\n') != std::string::npos; },
                              kWaitMs));
    EXPECT_EQ(opened.substr(0, opened.find_first_of(" \r\n")), "http://www.velloran.example/saver/");
    EXPECT_TRUE(IsWindowVisible(installer.Welcome()));

    wt::PressButton(installer.Welcome(), IDCANCEL);
    EXPECT_EQ(installer.ExitCode(), 2u);
}

// The backdrop fades from blue to black over the whole work area, with the
// welcome dialog in its middle. The capture is kept beside the test program
// as installer.bmp, and also in the Linux folder VELLORAN_SHOT_DIR when that
// is set; docs/images/installer.png is that capture converted to PNG.
TEST(Backdrop, BlueAtTheTopBlackAtTheBottomDialogInTheMiddle)
{
    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    RECT work, dialog;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(installer.Welcome(), &dialog);

    const int left = work.left + 4, midX = (dialog.left + dialog.right) / 2, midY = (dialog.top + dialog.bottom) / 2;
    wt::Screen shot;
    const bool painted = wt::WaitUntil([&] {
        shot = wt::CaptureScreen();
        return shot.At(left, work.top) == 0xFF0000 && shot.At(left, work.bottom - 1) == 0 &&
               shot.At(midX, midY) != shot.At(left, midY);
    }, kWaitMs);
    shot.SaveBmp(wt::Artefact("installer.bmp"));
    ASSERT_TRUE(painted) << "top " << std::hex << shot.At(left, work.top) << ", bottom "
                         << shot.At(left, work.bottom - 1);

    // Down the left edge: only blue, never brighter further down.
    uint32_t previous = 0xFF;
    for (int y = work.top; y < work.bottom; ++y) {
        const uint32_t p = shot.At(left, y);
        ASSERT_EQ(p & 0x00FFFF, 0u) << "red or green at y " << y;
        ASSERT_LE(p >> 16, previous) << "brighter at y " << y;
        previous = p >> 16;
    }
    // Across a row below the dialog: one colour from edge to edge.
    const int row = (dialog.bottom + work.bottom) / 2;
    for (int x = work.left; x < work.right; ++x) ASSERT_EQ(shot.At(x, row), shot.At(left, row)) << "x " << x;

    const int workMidX = (work.left + work.right) / 2, workMidY = (work.top + work.bottom) / 2;
    EXPECT_NEAR(midX, workMidX, 2);
    EXPECT_NEAR(midY, workMidY, 2);
    EXPECT_GT(dialog.right - dialog.left, 200);

    if (const char* dir = getenv("VELLORAN_SHOT_DIR")) shot.SaveBmp(std::string("Z:") + dir + "\\installer.bmp");
    wt::PressButton(installer.Welcome(), IDCANCEL);
    EXPECT_EQ(installer.ExitCode(), 2u);
}

// Every way of saying no to the welcome dialog ends with 2, leaving no trace.
enum class Refusal { CancelButton, EscapeKey, CloseBox };

class Refuse : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refuse, EndsWithTwoAndWritesNothing)
{
    const Traces before = ReadTraces();
    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    HWND dialog = installer.Welcome();
    switch (GetParam()) {
    case Refusal::CancelButton: wt::PressButton(dialog, IDCANCEL); break;
    case Refusal::EscapeKey: PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001); break;
    case Refusal::CloseBox: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
    EXPECT_EQ(installer.ExitCode(), 2u);
    EXPECT_FALSE(wt::FileExists(Target()));
    EXPECT_EQ(ReadTraces(), before);
}

std::string RefusalName(const ::testing::TestParamInfo<Refusal>& info)
{
    switch (info.param) {
    case Refusal::CancelButton: return "CancelButton";
    case Refusal::EscapeKey: return "EscapeKey";
    case Refusal::CloseBox: break;
    }
    return "CloseBox";
}

INSTANTIATE_TEST_SUITE_P(Welcome, Refuse,
                         ::testing::Values(Refusal::CancelButton, Refusal::EscapeKey, Refusal::CloseBox),
                         RefusalName);

// A screensaver of that name is in place already.
struct Replace {
    const char* name;
    const char* installed;  // built variant copied into place; a padded copy of the payload when null
    const Box* question;
    int answer;
};

const Replace kReplaceCases[] = {
    {"SameVersionKeptOnNo", nullptr, &kUpToDateBox, IDNO},
    {"SameVersionReplacedOnYes", nullptr, &kUpToDateBox, IDYES},
    {"OlderVersionReplacedOnYes", "FixtureSaverOlder.scr", &kOutOfDateBox, IDYES},
    {"OlderVersionKeptOnCancel", "FixtureSaverOlder.scr", &kOutOfDateBox, IDCANCEL},
    {"NewerVersionKeptOnNo", "FixtureSaverNewer.scr", &kUpToDateBox, IDNO},
    {"NoVersionReplacedOnYes", "FixtureSaverNoVersion.scr", &kOutOfDateBox, IDYES},
};

void PrintTo(const Replace& c, std::ostream* os) { *os << c.name; }

class ReplaceInstalled : public ::testing::TestWithParam<Replace> {};

TEST_P(ReplaceInstalled, AsksAndReplacesOnlyOnYes)
{
    const Replace& c = GetParam();
    // The padded copy has the payload's version but not its bytes, so that
    // a replacement shows.
    const std::string installed = c.installed ? Bytes(wt::Artefact(c.installed)) : Payload() + "padding";
    ASSERT_TRUE(wt::WriteFileBytes(Target(), installed));
    const Traces before = ReadTraces();

    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    wt::PressButton(installer.Welcome(), IDOK);
    ASSERT_NO_FATAL_FAILURE(installer.Expect(*c.question, c.answer));
    if (c.answer == IDYES) {
        ASSERT_NO_FATAL_FAILURE(installer.Expect(kCompletedBox, IDOK));
        EXPECT_EQ(installer.ExitCode(), 1u);
        ExpectInstalled(Payload());
    } else {
        EXPECT_EQ(installer.ExitCode(), 1u);
        EXPECT_TRUE(Bytes(Target()) == installed) << "the installed file was touched";
        EXPECT_EQ(ReadTraces(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Installed, ReplaceInstalled, ::testing::ValuesIn(kReplaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The file cannot be replaced: the user is told, and nothing is activated.
enum class Obstacle {
    HeldWithoutDeleteSharing,  // the deletion fails
    HeldWithDeleteSharing,     // the deletion succeeds, writing the new copy fails
    FolderInPlace,             // nothing to delete, and no file can be written
};

struct Failure {
    const char* name;
    Obstacle obstacle;
    const Box* error;
};

const Failure kFailureCases[] = {
    {"InUseCannotBeDeleted", Obstacle::HeldWithoutDeleteSharing, &kCannotDeleteBox},
    {"DeletedButNotRewritten", Obstacle::HeldWithDeleteSharing, &kSaveFailedBox},
    {"FolderInPlace", Obstacle::FolderInPlace, &kSaveFailedBox},
};

void PrintTo(const Failure& c, std::ostream* os) { *os << c.name; }

class CannotReplace : public ::testing::TestWithParam<Failure> {};

TEST_P(CannotReplace, ReportsTheFailureAndActivatesNothing)
{
    const Failure& c = GetParam();
    const std::string installed = Bytes(wt::Artefact("FixtureSaverOlder.scr"));
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.obstacle == Obstacle::FolderInPlace) {
        ASSERT_TRUE(CreateDirectoryA(Target().c_str(), nullptr));
    } else {
        ASSERT_TRUE(wt::WriteFileBytes(Target(), installed));
        const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE |
                              (c.obstacle == Obstacle::HeldWithDeleteSharing ? FILE_SHARE_DELETE : 0);
        held = CreateFileA(Target().c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }
    const Traces before = ReadTraces();

    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    wt::PressButton(installer.Welcome(), IDOK);
    if (c.obstacle != Obstacle::FolderInPlace) {
        ASSERT_NO_FATAL_FAILURE(installer.Expect(kOutOfDateBox, IDYES));
    }
    ASSERT_NO_FATAL_FAILURE(installer.Expect(*c.error, IDOK));
    EXPECT_EQ(installer.ExitCode(), 1u);
    EXPECT_EQ(ReadTraces(), before);

    if (held != INVALID_HANDLE_VALUE) {
        std::string bytes;
        EXPECT_TRUE(wt::ReadFileBytes(Target(), &bytes) || c.obstacle == Obstacle::HeldWithDeleteSharing);
        if (c.obstacle == Obstacle::HeldWithoutDeleteSharing) {
            EXPECT_TRUE(bytes == installed) << "replaced";
        }
        CloseHandle(held);
    } else {
        EXPECT_TRUE(GetFileAttributesA(Target().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    }
}

INSTANTIATE_TEST_SUITE_P(Installed, CannotReplace, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

// When the uninstall entry cannot be written (as without administrator
// rights), the saver is still installed and activated; the user is told.
TEST(UninstallEntryDenied, InstallsAndActivatesAndSaysSo)
{
    // A lasting key cannot be made under a volatile one, so with the parent
    // made volatile the installer's key cannot be created.
    const std::string parent = std::string(kUninstallKey).substr(0, std::string(kUninstallKey).rfind('\\'));
    wt::RegRemoveTree(HKEY_LOCAL_MACHINE, parent.c_str());
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    Installer installer;
    ASSERT_NO_FATAL_FAILURE(installer.Start());
    wt::PressButton(installer.Welcome(), IDOK);
    const Box denied{"Notice", "Uninstall information could not be saved for this screensaver.",
                     wt::BoxIcon::Information, {IDOK}};
    ASSERT_NO_FATAL_FAILURE(installer.Expect(denied, IDOK));
    ASSERT_NO_FATAL_FAILURE(installer.Expect(kCompletedBox, IDOK));
    EXPECT_EQ(installer.ExitCode(), 1u);
    EXPECT_TRUE(Bytes(Target()) == Payload());
    EXPECT_EQ(ReadTraces().iniSaver, ShortPath(Target()));
}

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
