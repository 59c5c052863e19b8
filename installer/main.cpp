// The installer: welcome the user over a blue backdrop, put the screensaver
// into the Windows directory, make it the active one and record how to
// uninstall it.
#include "installer.h"

#include <shellapi.h>

#include "command_line.h"
#include "resource.h"
#include "uninstall_entry.h"
#include "version_pack.h"

HINSTANCE g_instance;
char g_displayName[50];

namespace {

const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kPublisher[] = "Velloran Software";

// How an unattended install (/S) ended. 1 and 2 stay the interactive
// install's (done or failed, cancelled), so a script never mistakes one for
// the other.
enum SilentExit {
    kSilentInstalled = 0,
    kSilentNoRights = 3,    // not run as an administrator; nothing changed
    kSilentUpToDate = 4,    // the same or a newer version is installed and was left as it is
    kSilentNotWritten = 5,  // the screensaver could not be written; nothing changed
    kSilentNoEntry = 6,     // installed and active, but the uninstall entry could not be written
};

void LoadDisplayName()
{
    if (LoadStringA(g_instance, IDS_DISPLAY_NAME, g_displayName, sizeof g_displayName) == 0)
        lstrcpyA(g_displayName, "the Tovash saver");
}

HWND CreateBackdrop()
{
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return CreateWindowExA(0, kBackdropClass, "Install Saver", WS_POPUP | WS_VISIBLE, work.left, work.top,
                           work.right - work.left, work.bottom - work.top, nullptr, nullptr, g_instance, nullptr);
}

// The Windows directory, a backslash and the screensaver's file name; false
// when that does not fit into the buffer.
bool BuildTargetPath(char* target, int size)
{
    char fileName[50];
    if (LoadStringA(g_instance, IDS_FILE_NAME, fileName, sizeof fileName) == 0) lstrcpyA(fileName, "Tovash.scr");
    const UINT dirLength = GetWindowsDirectoryA(target, size);
    if (dirLength == 0 || int(dirLength + 1 + lstrlenA(fileName)) >= size) return false;
    lstrcatA(target, "\\");
    lstrcatA(target, fileName);
    return true;
}

void ActivateSaver(const char* targetPath)
{
    char shortPath[260];
    const DWORD length = GetShortPathNameA(targetPath, shortPath, sizeof shortPath);
    if (length == 0 || length >= sizeof shortPath) lstrcpynA(shortPath, targetPath, sizeof shortPath);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", shortPath, "system.ini");

    // Current Windows takes the active screensaver from here; the profile
    // write above reaches it only where system.ini is mapped to the registry.
    HKEY desktop;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &desktop, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(desktop, "SCRNSAVE.EXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(shortPath),
                       lstrlenA(shortPath) + 1);
        RegCloseKey(desktop);
    }

    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE);
}

LONG SetString(HKEY key, const char* name, const char* value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
}

// What the system's software list shows besides the name; nice to have, so
// their failures are not reported.
void WriteUninstallExtras(HKEY key, const char* targetPath, const char* command)
{
    SetString(key, "DisplayIcon", targetPath);
    SetString(key, "QuietUninstallString", command);  // the uninstall shows nothing of its own
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (GetFileAttributesExA(targetPath, GetFileExInfoStandard, &file)) {
        const DWORD kilobytes = DWORD((file.nFileSizeLow + 1023ull) / 1024);
        RegSetValueExA(key, "EstimatedSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kilobytes),
                       sizeof kilobytes);
    }
    DWORD packed = 0;
    char version[20];
    GetFileVersionField(targetPath, "FileVersion", nullptr, 0, &packed);
    if (packed != 0 && FormatDisplayVersion(packed, version, sizeof version)) SetString(key, "DisplayVersion", version);
    SetString(key, "Publisher", kPublisher);
    const DWORD one = 1;
    RegSetValueExA(key, "NoModify", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegSetValueExA(key, "NoRepair", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
}

class RegistryEntryKey : public EntryKey {
public:
    RegistryEntryKey(HKEY key, const char* path) : key_(key), path_(path) {}
    bool SetString(const char* name, const char* value) override
    {
        return ::SetString(key_, name, value) == ERROR_SUCCESS;
    }
    void Remove() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_); }

private:
    HKEY key_;
    const char* path_;
};

// The entry the saver's own uninstall mode removes again. Non-zero when the
// name and the uninstall command are both recorded.
int WriteUninstallEntry(const char* targetPath)
{
    char keyPath[1024];
    lstrcpyA(keyPath, kUninstallRoot);
    lstrcatA(keyPath, g_displayName);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 0;

    // A command cut short would name the wrong file; better none at all.
    char command[260];
    const char kSwitch[] = " -UNINSTALL";
    const bool fits = lstrlenA(targetPath) + lstrlenA(kSwitch) < int(sizeof command);
    if (fits) {
        lstrcpyA(command, targetPath);
        lstrcatA(command, kSwitch);
    }
    RegistryEntryKey entry(key, keyPath);
    const bool recorded = RecordUninstallEntry(entry, g_displayName, fits ? command : nullptr);
    if (recorded) WriteUninstallExtras(key, targetPath, command);
    RegCloseKey(key);
    return recorded;
}

// Whether this process may write the Windows directory and
// HKEY_LOCAL_MACHINE: the Administrators group is in its token and enabled,
// which an administrator's filtered, unelevated token does not have.
bool HasAdministratorRights()
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member;
}

// The install for administrators' scripts: the same steps as the
// interactive one, with no window, no message and no control panel. The
// rights are checked first, so that a run without them changes nothing
// rather than failing part-way.
int InstallSilently()
{
    if (!HasAdministratorRights()) return kSilentNoRights;
    char targetPath[260];
    if (!BuildTargetPath(targetPath, sizeof targetPath)) return kSilentNotWritten;
    switch (DeploySaver(nullptr, targetPath, PAYLOAD_NAME, g_displayName, true)) {
    case kDeployed: break;
    case kLeftAlone: return kSilentUpToDate;
    case kNotWritten: return kSilentNotWritten;
    }
    ActivateSaver(targetPath);
    return WriteUninstallEntry(targetPath) ? kSilentInstalled : kSilentNoEntry;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    g_instance = instance;
    RegisterBackdropClass();
    LoadDisplayName();
    if (HasSilentSwitch(commandLine)) return InstallSilently();

    HWND backdrop = CreateBackdrop();
    if (!backdrop) return 2;
    // Only the Install button goes on: a dialog that could not even be shown
    // has not been agreed to.
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WELCOME), backdrop, WelcomeDlgProc, 0) != IDOK) return 2;

    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
    InvalidateRect(backdrop, nullptr, FALSE);
    UpdateWindow(backdrop);

    char targetPath[260];
    if (!BuildTargetPath(targetPath, sizeof targetPath)) {
        SetCursor(previousCursor);
        MessageBoxA(backdrop, "Could not save the screensaver to file.", "Install Error", MB_ICONWARNING);
        return 1;
    }
    if (DeploySaver(backdrop, targetPath, PAYLOAD_NAME, g_displayName, false) != kDeployed) {
        SetCursor(previousCursor);
        return 1;
    }

    ActivateSaver(targetPath);
    if (!WriteUninstallEntry(targetPath)) {
        SetCursor(previousCursor);
        MessageBoxA(backdrop, "Uninstall information could not be saved for this screensaver.", "Notice",
                    MB_ICONINFORMATION);
    }
    SetCursor(previousCursor);
    MessageBoxA(backdrop, "Installation completed!", "Notice", MB_ICONINFORMATION);

    ShellExecuteA(nullptr, "open", "control", "desk.cpl @0,1", nullptr, SW_SHOW);
    return 1;
}
