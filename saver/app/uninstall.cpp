// Uninstall mode: the program cannot delete its own executable while it runs,
// so it leaves that to a batch file that keeps trying until the file is gone.
// The uninstall entry never outlives the file: the program renames its file
// before it deletes the entry, or the batch deletes the entry once the file
// is gone.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

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
void StartElevated(const wchar_t* self)
{
    wchar_t arguments[32] = {};
    for (int i = 0; i < 31 && kElevatedRestartArguments[i]; ++i) arguments[i] = wchar_t(kElevatedRestartArguments[i]);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetForegroundWindow();
    info.lpVerb = L"runas";
    info.lpFile = self;
    info.lpParameters = arguments;
    info.lpClass = L"exefile";
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
}

// Whether two paths name one file, whatever their forms (short or long
// names, letter case, links on the way).
bool SameFile(const char* path, const wchar_t* self)
{
    BY_HANDLE_FILE_INFORMATION info[2] = {};
    bool known = true;
    for (int i = 0; i < 2; ++i) {
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE file = i == 0 ? CreateFileA(path, 0, share, nullptr, OPEN_EXISTING, 0, nullptr)
                             : CreateFileW(self, 0, share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        known = GetFileInformationByHandle(file, &info[i]) && known;
        CloseHandle(file);
    }
    return known && info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// The entry belongs to the file its command runs: "<path> -UNINSTALL", the
// path as the installer wrote it or in quotes. Any other copy of the program
// leaves it alone. Both builds' installers write it into the 64-bit view of
// the registry.
bool EntryNamesFile(const wchar_t* self)
{
    HKEY entry;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &entry) != ERROR_SUCCESS) return false;
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

// The Windows Installer package's (installer/VelloranSaver.wxs): its upgrade
// code, which every version of either architecture carries, and the codes of
// the component that holds the file, 32-bit and 64-bit.
const char kPackageUpgradeCode[] = "{4B48C7DC-CBAE-4C82-B874-656C96E5018E}";
const char* const kPackageComponents[] = {"{9B55C18C-0E08-4AD2-8816-BFA7A609B091}", "{6A1E2F93-5C4B-4E0D-9B7A-2D8C41F3E6B5}"};

// The product code of the package that installed the file at self, if one
// did: that file is the package's, and only Windows Installer may remove it.
// msi.dll by its full path in the system folder: it is no known DLL. No
// Windows Installer, no package.
bool FindOwningPackage(const wchar_t* self, char (&productCode)[39])
{
    char path[MAX_PATH + 16];
    if (!SystemDir(path)) return false;
    lstrcatA(path, "\\msi.dll");
    HMODULE msi = LoadLibraryA(path);
    if (!msi) return false;
    using EnumRelatedProducts = UINT(WINAPI*)(const char*, DWORD, DWORD, char*);
    using GetComponentPath = int(WINAPI*)(const char*, const char*, char*, DWORD*);
    const auto enumRelated = reinterpret_cast<EnumRelatedProducts>(
        reinterpret_cast<void (*)()>(GetProcAddress(msi, "MsiEnumRelatedProductsA")));
    const auto componentPath = reinterpret_cast<GetComponentPath>(
        reinterpret_cast<void (*)()>(GetProcAddress(msi, "MsiGetComponentPathA")));
    bool owned = false;
    for (DWORD i = 0; !owned && enumRelated && componentPath && enumRelated(kPackageUpgradeCode, 0, i, productCode) == ERROR_SUCCESS; ++i) {
        for (const char* component : kPackageComponents) {
            char installed[MAX_PATH];
            DWORD size = MAX_PATH;
            constexpr int kInstalledLocally = 3;  // INSTALLSTATE_LOCAL
            if (componentPath(productCode, component, installed, &size) == kInstalledLocally && SameFile(installed, self)) owned = true;
        }
    }
    FreeLibrary(msi);
    return owned;
}

// Windows Installer from the system folder removes the product, and with it
// the file. /passive: a progress bar, no question, and the prompt for rights
// where they are needed, which a quiet uninstall could not show.
void HandToWindowsInstaller(const char* productCode)
{
    char dir[MAX_PATH], program[MAX_PATH + 16], command[MAX_PATH + 64];
    if (!SystemDir(dir)) return;
    wsprintfA(program, "%s\\msiexec.exe", dir);
    wsprintfA(command, "msiexec.exe /x %s /passive", productCode);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, command, nullptr, nullptr, FALSE, 0, nullptr, dir, &startup, &process)) return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The command interpreter reads a batch in the console's code page, the OEM
// one, not in the ANSI one of the A functions. A character that page cannot
// hold comes out as ? or as a look-alike: only a spelling that converts back
// to the very same path counts. Null when there is none.
const char* SpellExactly(const wchar_t* path, char* out)
{
    const UINT codePage = GetOEMCP();
    wchar_t back[MAX_PATH];
    if (WideCharToMultiByte(codePage, codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, path, -1, out, MAX_PATH, nullptr,
                            nullptr) == 0 ||
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, out, -1, back, MAX_PATH) == 0)
        return nullptr;
    return std::wcscmp(back, path) == 0 ? out : nullptr;
}

// The short form, one byte a character; any character beyond ASCII becomes
// a byte that ProgramNameForBatch refuses. Null when the system has none.
const char* ShortForm(const wchar_t* path, char* out)
{
    wchar_t wide[MAX_PATH];
    const DWORD length = GetShortPathNameW(path, wide, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    for (DWORD i = 0; i <= length; ++i) out[i] = char(wide[i] < 0x80 ? wide[i] : 0x80);
    return out;
}

// The batch file at the given path, made new: a leftover's owner, rights and
// attributes are not reused, nor a link planted in its place followed. A batch
// that still runs is held by its command interpreter (see StartBatch) and
// refuses to be opened for writing: it is left alone, ERROR_SHARING_VIOLATION.
HANDLE CreateBatch(const char* path)
{
    HANDLE probe = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
    else if (GetLastError() != ERROR_FILE_NOT_FOUND) return INVALID_HANDLE_VALUE;
    if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The command interpreter by its full path, without AutoRun commands (/D),
// with command extensions whatever the policy says (/E:ON), without delayed
// expansion whatever the policy says (/V:OFF: it would take a ! in a path for
// a variable), and no console window. /S with the doubled quotes keeps a
// batch path with blanks whole. It inherits `held`, which it keeps open
// until it ends: another uninstall cannot write over a batch that runs.
bool StartBatch(const char* batchPath, HANDLE held)
{
    char dir[MAX_PATH], interpreter[MAX_PATH + 16], command[MAX_PATH + 64];
    if (!SystemDir(dir)) return false;
    wsprintfA(interpreter, "%s\\cmd.exe", dir);
    wsprintfA(command, "cmd.exe /D /E:ON /V:OFF /S /C \"\"%s\"\"", batchPath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const bool started = SetHandleInformation(held, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) &&
                         CreateProcessA(interpreter, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, dir,
                                        &startup, &process);
    if (!started) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Renames the file, in its folder, to a name that no saver list shows. A
// running program's file can be renamed, though not deleted.
bool MoveAside(const wchar_t* path, wchar_t* aside)
{
    const int length = _snwprintf(aside, MAX_PATH, L"%ls.%lu.del", path, GetCurrentProcessId());
    return length > 0 && length < MAX_PATH && MoveFileW(path, aside);
}

}  // namespace

bool SaverApp::WriteUninstallBatch(char* batchPath, const wchar_t* executablePath, bool deleteEntry, HANDLE* held)
{
    *held = INVALID_HANDLE_VALUE;
    char shortPath[MAX_PATH], longPath[MAX_PATH];
    const char* program =
        ProgramNameForBatch(ShortForm(executablePath, shortPath), SpellExactly(executablePath, longPath));
    if (!program) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    const UINT dirLength = GetWindowsDirectoryA(batchPath, MAX_PATH);
    if (dirLength == 0 || dirLength + 25 > MAX_PATH) return false;  // room for the longer name
    if (batchPath[dirLength - 1] != '\\') lstrcatA(batchPath, "\\");
    char systemDir[MAX_PATH], key[sizeof kUninstallKey + 8];
    wsprintfA(key, "HKLM\\%s", kUninstallKey);
    char text[4096];  // ample even when every character of both paths is a doubled %
    const size_t length =
        SystemDir(systemDir) ? UninstallBatchText({program, systemDir, deleteEntry ? key : nullptr}, text, sizeof text) : 0;
    if (length == 0) return false;

    // The usual name, unless another uninstall's batch runs under it; then
    // one of this run's own.
    char* name = batchPath + lstrlenA(batchPath);
    lstrcpyA(name, "uninstss.bat");
    HANDLE file = CreateBatch(batchPath);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
        wsprintfA(name, "uninstss-%lu.bat", GetCurrentProcessId());
        file = CreateBatch(batchPath);
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    // A batch file cut short might stop before it deletes itself: it is
    // written whole or not at all.
    DWORD written = 0;
    const bool whole = WriteFile(file, text, DWORD(length), &written, nullptr) && written == length;
    CloseHandle(file);
    // Held for reading only, so that the command interpreter can read it and
    // delete it at the end, while no other run can write it.
    if (whole)
        *held = CreateFileA(batchPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (*held != INVALID_HANDLE_VALUE) return true;
    DeleteFileA(batchPath);
    return false;
}

void SaverApp::RunUninstall()
{
    // The file that runs, not the name it was started by: that may be
    // relative, and the batch would resolve it against its own folder. The
    // wide form: the ANSI one of a name outside the code page holds a ?.
    wchar_t self[MAX_PATH];
    const DWORD selfLength = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (selfLength > 0 && selfLength < MAX_PATH) Uninstall(self);
}

void SaverApp::Uninstall(const wchar_t* self)
{
    // A file that the package installed is the package's: deleted here, it
    // would leave the product registered without it, past repair.
    char productCode[39];
    if (FindOwningPackage(self, productCode)) {
        HandToWindowsInstaller(productCode);
        return;
    }
    const bool ownsEntry = EntryNamesFile(self);

    // Started from the list of programs under user account control, this
    // program has the user's filtered rights: the Windows directory and the
    // entry under HKEY_LOCAL_MACHINE refuse it.
    LONG entryResult = ERROR_SUCCESS;
    if (ownsEntry) {
        HKEY entry = nullptr;
        entryResult = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, DELETE | KEY_WOW64_64KEY, &entry);
        if (entryResult == ERROR_SUCCESS) RegCloseKey(entry);
    }
    // The file leaves its name first, so that this program can delete the
    // entry itself: REG.EXE refuses under the policy that prevents access to
    // registry editing tools, which would leave an entry that names nothing.
    // Only a file that someone holds without sharing its deletion stays; the
    // batch then waits for it and deletes the entry with REG.EXE, or, where
    // that refuses, leaves both.
    wchar_t aside[MAX_PATH];
    const bool moved = ownsEntry && entryResult == ERROR_SUCCESS && MoveAside(self, aside);
    char batchPath[MAX_PATH] = {};
    HANDLE held;
    const bool written = WriteUninstallBatch(batchPath, moved ? aside : self, ownsEntry && !moved, &held);
    const long batchResult = written ? 0 : long(GetLastError());
    const bool elevate = NeedsElevation(ArgCount(), Args(), ProcessElevation(), entryResult, batchResult);
    // When this run's rights do not reach the entry, the file stays too.
    // Nothing will delete the executable when the batch does not start: the
    // entry stays, to offer the uninstall again. An elevated run writes its
    // own; a declined prompt leaves nothing behind.
    const bool started = written && !elevate && entryResult == ERROR_SUCCESS && StartBatch(batchPath, held);
    if (written) CloseHandle(held);
    if (written && !started) DeleteFileA(batchPath);
    if (moved) {
        // The batch cannot delete the file while this program runs from it:
        // where the entry cannot go, the file is put back in time, and the
        // batch finds nothing to delete. Another session's saver may hold
        // the file beyond the batch's patience: it then goes at the system's
        // next start.
        if (started && RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0) == ERROR_SUCCESS)
            MoveFileExW(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        else
            MoveFileW(aside, self);
    }
    if (elevate) StartElevated(self);
}
