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

// How an unattended install (/S) or the elevated machine-wide run ended. 1
// and 2 stay the interactive install's (done or failed, cancelled), so a
// script never mistakes one for the other.
enum SilentExit {
    kSilentInstalled = 0,
    kSilentNoRights = 3,    // no administrator rights; nothing changed
    kSilentUpToDate = 4,    // the same or a newer version, or the MSI package, is installed and was left as it is
    kSilentNotWritten = 5,  // the screensaver could not be written; nothing changed
    kSilentNoEntry = 6,     // installed and active, but the uninstall entry could not be written
    kMachineWideInUse = 7,  // the machine-wide run only: the installed copy is in use (/S says 5)
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

void ShortPath(const char* targetPath, char* shortPath)
{
    const DWORD length = GetShortPathNameA(targetPath, shortPath, 260);
    if (length == 0 || length >= 260) lstrcpynA(shortPath, targetPath, 260);
}

// Done by the process of the user who started the install. Current Windows
// keeps the active screensaver in HKEY_CURRENT_USER and maps system.ini's
// SCRNSAVE.EXE there too, so an administrator's elevated run would change the
// administrator's, not the user's. Where system.ini is a file of its own, the
// profile write is what the system reads.
void ActivateForUser(const char* targetPath)
{
    char shortPath[260];
    ShortPath(targetPath, shortPath);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", shortPath, "system.ini");
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
    wchar_t widePath[MAX_PATH];
    if (WidenPath(targetPath, widePath)) GetFileVersionField(widePath, L"FileVersion", &packed);
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
    void Remove() override { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path_, KEY_WOW64_64KEY, 0); }

private:
    HKEY key_;
    const char* path_;
};

// The entry the saver's own uninstall mode removes again. Non-zero when the
// name and the uninstall command are both recorded. In the 64-bit view of
// the registry, where the 64-bit installer writes it too: the 32-bit
// installer on 64-bit Windows would otherwise write a second entry for the
// one file in the Windows folder, which neither build's file system view
// redirects.
int WriteUninstallEntry(const char* targetPath)
{
    char keyPath[1024];
    lstrcpyA(keyPath, kUninstallRoot);
    lstrcatA(keyPath, g_displayName);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
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

// What needs administrator rights: the file in the Windows folder and the
// uninstall entry. Silent; the result is an exit code of SilentExit.
int InstallMachineWide(bool replaceSameOrNewer, char* targetPath)
{
    if (!BuildTargetPath(targetPath, 260)) return kSilentNotWritten;
    char package[39];
    if (FindOwningPackage(package)) return kSilentUpToDate;  // installed, by its other owner
    switch (DeploySaver(targetPath, PAYLOAD_NAME, replaceSameOrNewer)) {
    case kDeployed: break;
    case kLeftAlone: return kSilentUpToDate;
    case kNotWritten: return kSilentNotWritten;
    case kInUse: return kMachineWideInUse;
    }
    return WriteUninstallEntry(targetPath) ? kSilentInstalled : kSilentNoEntry;
}

// Waits for the process to end while the backdrop keeps answering: Windows
// shows a window whose thread takes no messages for a few seconds as not
// responding. False when the wait itself fails.
bool WaitPumpingMessages(HANDLE process)
{
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken != WAIT_OBJECT_0 + 1) return false;
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
    }
}

// The machine-wide half by a second start of this program, elevated, which
// shows the system's one prompt; its exit code says how it ended. Only a
// declined prompt means no rights; a start that fails otherwise (the file
// moved, a path too long) has written nothing either.
// The wide path: the folder the installer was downloaded to may have a name
// that the ANSI code page cannot hold. No zone check: the user has already
// answered the downloaded file's security warning to start this run, and a
// second warning before the prompt, if cancelled, would read as no rights.
int InstallMachineWideElevated(HWND owner)
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kSilentNotWritten;
    wchar_t arguments[sizeof kMachineWideSwitch];
    for (size_t i = 0; i < sizeof kMachineWideSwitch; ++i) arguments[i] = wchar_t(kMachineWideSwitch[i]);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOZONECHECKS;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = self;
    info.lpParameters = arguments;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return GetLastError() == ERROR_CANCELLED ? kSilentNoRights : kSilentNotWritten;
    if (!info.hProcess) return kSilentNotWritten;
    DWORD code = kSilentNotWritten;
    if (!WaitPumpingMessages(info.hProcess) || !GetExitCodeProcess(info.hProcess, &code)) code = kSilentNotWritten;
    CloseHandle(info.hProcess);
    return int(code);
}

// The install for administrators' scripts: the same steps as the
// interactive one, with no window, no message and no control panel. Without
// rights it ends at once, changing nothing, rather than failing part-way.
int InstallSilently()
{
    char targetPath[260];
    const int result = InstallMachineWide(false, targetPath);
    if (result == kMachineWideInUse) return kSilentNotWritten;
    if (result == kSilentInstalled || result == kSilentNoEntry) ActivateForUser(targetPath);
    return result;
}

// The Display control panel on its Screen Saver page, where the new saver is
// now selected. By its full path and from the system folder: started by bare
// name, a control.exe (or .com, or .bat) in the current folder, which is
// usually the Downloads folder, would run instead, with the installer's rights.
void OpenScreenSaverSettings()
{
    wchar_t folder[MAX_PATH], program[MAX_PATH];
    if (!SystemFilePath(L"", folder) || !SystemFilePath(L"control.exe", program)) return;
    ShellExecuteW(nullptr, L"open", program, L"desk.cpl,,@screensaver", folder, SW_SHOW);
}

// After the welcome: the question, the machine-wide half (here, or by the
// elevated second start), the user's activation, the messages. Every message
// is shown here, in the user's own process, in the order the user expects.
int InstallInteractively(HWND backdrop, bool hasRights)
{
    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
    InvalidateRect(backdrop, nullptr, FALSE);
    UpdateWindow(backdrop);

    char targetPath[260];
    int result = kSilentNotWritten;
    if (BuildTargetPath(targetPath, sizeof targetPath)) {
        if (!AgreesToInstall(backdrop, targetPath, PAYLOAD_NAME, g_displayName)) {
            SetCursor(previousCursor);
            return 1;
        }
        result = hasRights ? InstallMachineWide(true, targetPath) : InstallMachineWideElevated(backdrop);
    }
    SetCursor(previousCursor);
    if (result == kSilentNoRights) {
        char text[256];
        wsprintfA(text, "Nothing was changed: installing %s needs administrator rights.", g_displayName);
        MessageBoxA(backdrop, text, "Notice", MB_ICONINFORMATION);
        return 1;
    }
    if (result != kSilentInstalled && result != kSilentNoEntry) {
        ReportDeployment(backdrop, result == kMachineWideInUse ? kInUse : kNotWritten, g_displayName);
        return 1;
    }

    ActivateForUser(targetPath);
    if (result == kSilentNoEntry)
        MessageBoxA(backdrop, "Uninstall information could not be saved for this screensaver.", "Notice",
                    MB_ICONINFORMATION);
    MessageBoxA(backdrop, "Installation completed!", "Notice", MB_ICONINFORMATION);

    OpenScreenSaverSettings();
    return 1;
}

// The installer runs from a Downloads folder, where a browser saves any file
// without asking, and it may run as administrator. The system's DLLs load
// further DLLs by name as they run (themes, the shell), and Windows would
// look for those in the program's own folder first: only the system folder
// may answer. The call came with Windows 8 and with an update of Windows 7;
// where it is missing, at least the current folder is left out.
void LoadDllsFromSystemFolderOnly()
{
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    const FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    const auto setDefault = reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void (*)()>(found));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    LoadDllsFromSystemFolderOnly();
    g_instance = instance;
    RegisterBackdropClass();
    LoadDisplayName();
    const InstallRun run = ReadInstallRun(commandLine);
    const InstallPlan plan = PlanInstall(run, HasAdministratorRights());
    if (plan == InstallPlan::NoRights) return kSilentNoRights;
    char targetPath[260];
    if (plan == InstallPlan::MachineWideOnly) return InstallMachineWide(true, targetPath);
    if (run == InstallRun::Silent) return InstallSilently();

    HWND backdrop = CreateBackdrop();
    if (!backdrop) return 2;
    // Only the Install button goes on: a dialog that could not even be shown
    // has not been agreed to.
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WELCOME), backdrop, WelcomeDlgProc,
                        plan == InstallPlan::Everything) != IDOK)
        return 2;
    return InstallInteractively(backdrop, plan == InstallPlan::Everything);
}
