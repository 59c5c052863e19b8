// Uninstall mode: the program cannot delete its own executable while it runs,
// so it leaves that to a batch file that keeps trying until the file is gone,
// and deletes the uninstall entry only then.
#include <windows.h>

#include <shellapi.h>

#include "app/saver_app.h"
#include "app/uninstall_batch.h"
#include "app/uninstall_rights.h"

namespace {

const char kSwitch[] = " -UNINSTALL";

Elevation ProcessElevation()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return Elevation::Unknown;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const BOOL known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    if (!known) return Elevation::Unknown;
    return elevation.TokenIsElevated ? Elevation::Full : Elevation::Limited;
}

// Starts this program again elevated, marked so that it never asks again. The
// .scr type need not offer the "runas" verb; the executable type always does.
// The prompt is owned by the window in front, typically the list of programs
// that started the uninstall, so that it does not open behind it.
void StartElevated(const char* self)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetForegroundWindow();
    info.lpVerb = "runas";
    info.lpFile = self;
    info.lpParameters = kElevatedRestartArguments;
    info.lpClass = "exefile";
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

// Whether two paths name one file, whatever their forms (short or long
// names, letter case, links on the way).
bool SameFile(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION info[2] = {};
    bool known = true;
    for (int i = 0; i < 2; ++i) {
        HANDLE file = CreateFileA(i == 0 ? a : b, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        known = GetFileInformationByHandle(file, &info[i]) && known;
        CloseHandle(file);
    }
    return known && info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// The entry belongs to the file its command runs: "<path> -UNINSTALL", the
// path as the installer wrote it or in quotes. Any other copy of the program
// leaves it alone.
bool EntryNamesFile(const char* self)
{
    HKEY entry;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE, &entry) != ERROR_SUCCESS) return false;
    char command[MAX_PATH + sizeof kSwitch + 2] = {};
    DWORD type = 0, size = sizeof command - 1;
    const LONG read = RegQueryValueExA(entry, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(entry);
    if (read != ERROR_SUCCESS || type != REG_SZ) return false;

    const int length = lstrlenA(command) - lstrlenA(kSwitch);
    if (length <= 0 || lstrcmpA(command + length, kSwitch) != 0) return false;
    command[length] = '\0';
    char* path = command;
    if (length >= 2 && command[0] == '"' && command[length - 1] == '"') {
        command[length - 1] = '\0';
        ++path;
    }
    return SameFile(path, self);
}

bool SystemDir(char* dir)
{
    const UINT length = GetSystemDirectoryA(dir, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

// The command interpreter by its full path, without AutoRun commands (/D),
// with command extensions whatever the policy says (/E:ON), and no console
// window. /S with the doubled quotes keeps a batch path with blanks whole.
bool StartBatch(const char* batchPath)
{
    char dir[MAX_PATH], interpreter[MAX_PATH + 16], command[MAX_PATH + 64];
    if (!SystemDir(dir)) return false;
    wsprintfA(interpreter, "%s\\cmd.exe", dir);
    wsprintfA(command, "cmd.exe /D /E:ON /S /C \"\"%s\"\"", batchPath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(interpreter, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, dir, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

bool SaverApp::WriteUninstallBatch(char* batchPath, const char* executablePath, bool deleteEntry)
{
    const char kName[] = "uninstss.bat";
    const UINT dirLength = GetWindowsDirectoryA(batchPath, MAX_PATH);
    if (dirLength == 0 || dirLength + 1 + sizeof kName > MAX_PATH) return false;
    if (batchPath[dirLength - 1] != '\\') lstrcatA(batchPath, "\\");
    lstrcatA(batchPath, kName);

    // The short form keeps the command interpreter away from blanks and from
    // long names outside its code page; when the system cannot give one, the
    // quoted long path still works.
    char shortPath[MAX_PATH], systemDir[MAX_PATH], key[sizeof kUninstallKey + 8];
    const DWORD shortLength = GetShortPathNameA(executablePath, shortPath, MAX_PATH);
    const char* target = (shortLength > 0 && shortLength < MAX_PATH) ? shortPath : executablePath;
    wsprintfA(key, "HKLM\\%s", kUninstallKey);
    char text[4096];  // ample even when every character of both paths is a doubled %
    const size_t length =
        SystemDir(systemDir) ? UninstallBatchText({target, systemDir, deleteEntry ? key : nullptr}, text, sizeof text) : 0;
    if (length == 0) return false;

    // A leftover's owner, rights and attributes are not to be reused, nor a
    // link planted in its place followed: the file is made new. A leftover
    // that cannot go says why through the last error, as creation would.
    if (!DeleteFileA(batchPath) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    HANDLE file = CreateFileA(batchPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // A batch file cut short might stop before it deletes itself: it is
    // written whole or not at all.
    DWORD written = 0;
    const bool whole = WriteFile(file, text, DWORD(length), &written, nullptr) && written == length;
    CloseHandle(file);
    if (!whole) DeleteFileA(batchPath);
    return whole;
}

void SaverApp::RunUninstall()
{
    // The file that runs, not the name it was started by: that may be
    // relative, and the batch would resolve it against its own folder.
    char self[MAX_PATH];
    const DWORD selfLength = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (selfLength == 0 || selfLength >= MAX_PATH) return;
    const bool ownsEntry = EntryNamesFile(self);

    // Started from the list of programs under user account control, this
    // program has the user's filtered rights: the Windows directory and the
    // entry under HKEY_LOCAL_MACHINE refuse it.
    LONG entryResult = ERROR_SUCCESS;
    if (ownsEntry) {
        HKEY entry = nullptr;
        entryResult = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, DELETE, &entry);
        if (entryResult == ERROR_SUCCESS) RegCloseKey(entry);
    }
    char batchPath[MAX_PATH] = {};
    const bool written = WriteUninstallBatch(batchPath, self, ownsEntry);
    const long batchResult = written ? 0 : long(GetLastError());
    if (NeedsElevation(ArgCount(), Args(), ProcessElevation(), entryResult, batchResult)) {
        // The elevated run writes its own; a declined prompt leaves nothing behind.
        if (written) DeleteFileA(batchPath);
        StartElevated(self);
        return;
    }
    // The batch deletes the entry with this run's rights; when they do not
    // reach it, the file stays too, rather than an entry that names nothing.
    // Nothing will delete the executable when the batch does not start: the
    // entry stays, to offer the uninstall again.
    if (written && (entryResult != ERROR_SUCCESS || !StartBatch(batchPath))) DeleteFileA(batchPath);
}
