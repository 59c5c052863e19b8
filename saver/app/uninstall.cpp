// Uninstall mode: the program cannot delete its own executable while it runs,
// so it leaves that to a batch file that keeps trying until the file is gone.
#include <windows.h>

#include <shellapi.h>

#include "app/saver_app.h"
#include "app/uninstall_batch.h"
#include "app/uninstall_rights.h"

namespace {

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

// Starts this program again with the same argument, elevated. The .scr type
// need not offer the "runas" verb; the executable type always does.
void StartElevated()
{
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "runas";
    info.lpFile = self;
    info.lpParameters = "-UNINSTALL";
    info.lpClass = "exefile";
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

}  // namespace

bool SaverApp::WriteUninstallBatch(char* batchPath, const char* executablePath)
{
    const char kName[] = "uninstss.bat";
    const UINT dirLength = GetWindowsDirectoryA(batchPath, MAX_PATH);
    if (dirLength == 0 || dirLength + 1 + sizeof kName > MAX_PATH) return false;
    if (batchPath[dirLength - 1] != '\\') lstrcatA(batchPath, "\\");
    lstrcatA(batchPath, kName);

    HANDLE file = CreateFileA(batchPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;

    // The short form keeps the command interpreter away from blanks and long
    // names; when the system cannot give one, the quoted long path still works.
    char shortPath[MAX_PATH];
    const DWORD shortLength = GetShortPathNameA(executablePath, shortPath, MAX_PATH);
    const char* target = (shortLength > 0 && shortLength < MAX_PATH) ? shortPath : executablePath;

    // A batch file cut short might stop before it deletes itself: it is
    // written whole or not at all.
    bool whole = true;
    for (int i = 0; i < kUninstallBatchLineCount && whole; ++i) {
        char line[2 * MAX_PATH];
        const size_t length = UninstallBatchLine(i, target, line, sizeof line);
        DWORD written = 0;
        whole = length > 0 && WriteFile(file, line, DWORD(length), &written, nullptr) && written == length;
    }
    CloseHandle(file);
    if (!whole) DeleteFileA(batchPath);
    return whole;
}

void SaverApp::RunUninstall(const char* executablePath)
{
    // Started from the list of programs under user account control, this
    // program has the user's filtered rights: the Windows directory and the
    // entry under HKEY_LOCAL_MACHINE refuse it.
    HKEY entry = nullptr;
    const LONG entryResult = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, DELETE, &entry);
    if (entryResult == ERROR_SUCCESS) RegCloseKey(entry);
    char batchPath[MAX_PATH] = {};
    const bool written = WriteUninstallBatch(batchPath, executablePath);
    const long batchResult = written ? 0 : long(GetLastError());
    if (NeedsElevation(ProcessElevation(), entryResult, batchResult)) {
        // The elevated run writes its own; a declined prompt leaves nothing behind.
        if (written) DeleteFileA(batchPath);
        StartElevated();
        return;
    }
    if (!written) return;

    // Quoted, so that a Windows directory with blanks still runs the right file.
    char command[MAX_PATH + 2];
    wsprintfA(command, "\"%s\"", batchPath);
    if (WinExec(command, SW_HIDE) <= 31) {
        // Nothing will delete the executable: the entry stays, to offer the
        // uninstall again.
        DeleteFileA(batchPath);
        return;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}
