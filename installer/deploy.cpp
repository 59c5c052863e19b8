// Putting the carried screensaver at its target path, asking before an
// installed copy is replaced.
#include "installer.h"

#include "version_pack.h"

namespace {

const char kSaveFailed[] = "Could not save the screensaver to file.";
const char kOutOfDate[] = "You have an out-of-date version of %s on your system.  Do you want to upgrade?";
const char kUpToDate[] = "You have an up-to-date version installed.  Do you still want to install?";
const char kCannotDelete[] =
    "Error. Unable to delete old version of %s. Make sure it is not in use, and then try again.";
const char kOwnedByPackage[] =
    "%s is installed on this computer by its Windows Installer package (VelloranSaver.msi or "
    "VelloranSaver-x64.msi, product code %s), which owns the screensaver's file.  Remove that package first "
    "(Apps & features, or msiexec /x %s), then run this installer again.";

// The UpgradeCode of installer/VelloranSaver.wxs: every version of the
// package, of either architecture, carries it.
const char kPackageUpgradeCode[] = "{4B48C7DC-CBAE-4C82-B874-656C96E5018E}";

// Which of the two questions fits, and the user's answer to it.
int AskToReplace(HWND owner, DWORD installed, DWORD carried, const char* displayName)
{
    if (installed < carried) {
        char text[512];
        wsprintfA(text, kOutOfDate, displayName);
        return MessageBoxA(owner, text, "Install", MB_YESNOCANCEL);
    }
    return MessageBoxA(owner, kUpToDate, "Notice", MB_YESNOCANCEL | MB_ICONINFORMATION);
}

// A virus scanner briefly holds a freshly written executable, and the
// rename is refused while it does: it is tried again for about a second.
bool MoveIntoPlace(const wchar_t* from, const wchar_t* to)
{
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 10) return false;
        Sleep(100);
    }
}

// version.dll is not among the DLLs that Windows always takes from its own
// folder: it is loaded at run time by its full path there, so that no file of
// that name beside the installer stands in for it.
struct VersionFunctions {
    decltype(&GetFileVersionInfoSizeW) size;
    decltype(&GetFileVersionInfoW) read;
    decltype(&VerQueryValueW) query;
};

template <class Function> void FindExport(HMODULE dll, const char* name, Function* function)
{
    *function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

const VersionFunctions& Version()
{
    static VersionFunctions functions = [] {
        VersionFunctions found = {};
        wchar_t path[MAX_PATH];
        HMODULE dll = SystemFilePath(L"version.dll", path) ? LoadLibraryW(path) : nullptr;
        if (dll) {
            FindExport(dll, "GetFileVersionInfoSizeW", &found.size);
            FindExport(dll, "GetFileVersionInfoW", &found.read);
            FindExport(dll, "VerQueryValueW", &found.query);
        }
        return found;
    }();
    return functions;
}

}  // namespace

bool SystemFilePath(const wchar_t* name, wchar_t* path)
{
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH) return false;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return true;
}

bool WidenPath(const char* path, wchar_t* wide)
{
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0;
}

int ExtractResourceToFile(const wchar_t* path, const char* resourceName)
{
    HRSRC resource = FindResourceA(g_instance, resourceName, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!resource) return 0;
    const DWORD size = SizeofResource(g_instance, resource);
    const void* bytes = LockResource(LoadResource(g_instance, resource));
    if (!bytes) return 0;

    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    // On disk before the file is renamed into place: a rename within the
    // folder moves no data, and a power cut must not leave a damaged copy.
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

int GetFileVersionField(const wchar_t* path, const wchar_t* field, DWORD* packed)
{
    if (packed) *packed = 0;
    const VersionFunctions& version = Version();
    if (!version.size || !version.read || !version.query) return 0;
    DWORD ignored = 0;
    const DWORD blockSize = version.size(path, &ignored);
    if (blockSize == 0) return 0;
    char* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, blockSize));
    if (!block) return 0;
    if (!version.read(path, 0, blockSize, block)) {
        HeapFree(GetProcessHeap(), 0, block);
        return 0;
    }

    // Only the first language and code page of the translation table counts.
    WORD* translation = nullptr;
    UINT translationSize = 0;
    wchar_t* text = nullptr;
    UINT textSize = 0;
    wchar_t query[300];
    bool found = version.query(block, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &translationSize) &&
                 translationSize >= 2 * sizeof(WORD);
    if (found && lstrlenW(field) < 200) {
        const DWORD languageAndCodePage = (DWORD(translation[0]) << 16) | translation[1];
        wsprintfW(query, L"\\StringFileInfo\\%08lx\\%s", languageAndCodePage, field);
        found = version.query(block, query, reinterpret_cast<void**>(&text), &textSize) && text;
    } else {
        found = false;
    }
    if (!found) {
        HeapFree(GetProcessHeap(), 0, block);
        return 0;
    }

    const int length = lstrlenW(text);
    if (packed) {  // the four numbers come first; the text after them is not needed
        char narrow[128] = {};
        WideCharToMultiByte(CP_ACP, 0, text, length < 63 ? length : 63, narrow, sizeof narrow - 1, nullptr, nullptr);
        *packed = PackFileVersion(narrow);
    }
    HeapFree(GetProcessHeap(), 0, block);
    return length;
}

void ReportDeployment(HWND owner, Deployment result, const char* displayName)
{
    if (result == kInUse) {  // typically the running screensaver or the Display control panel holds it
        char text[512];
        wsprintfA(text, kCannotDelete, displayName);
        MessageBoxA(owner, text, "Install Error", MB_ICONWARNING);
    } else if (result == kNotWritten) {
        MessageBoxA(owner, kSaveFailed, "Install Error", MB_ICONWARNING);
    }
}

// Windows Installer is asked at run time, from the system folder by its full
// path: a static import would make the installer load msi.dll, which is no
// KnownDLL, from the folder it was downloaded to. No Windows Installer, no
// package.
bool FindOwningPackage(char* productCode)
{
    wchar_t path[MAX_PATH];
    HMODULE msi = SystemFilePath(L"msi.dll", path) ? LoadLibraryW(path) : nullptr;
    if (!msi) return false;
    using EnumRelatedProducts = UINT(WINAPI*)(const char*, DWORD, DWORD, char*);
    const auto enumRelated = reinterpret_cast<EnumRelatedProducts>(
        reinterpret_cast<void (*)()>(GetProcAddress(msi, "MsiEnumRelatedProductsA")));
    const bool found = enumRelated && enumRelated(kPackageUpgradeCode, 0, 0, productCode) == ERROR_SUCCESS;
    FreeLibrary(msi);
    return found;
}

// The carried version is read from a copy in the user's temporary folder:
// before the user has answered, nothing is written where the install goes,
// and the user who is asked may have no right to write there at all.
// The temporary folder is named by its wide form: it lies in the user's
// profile, and a user name outside the ANSI code page has no ANSI form.
bool AgreesToInstall(HWND owner, const char* targetPath, const char* resourceName, const char* displayName)
{
    char package[39];
    if (FindOwningPackage(package)) {
        char text[512];
        wsprintfA(text, kOwnedByPackage, displayName, package, package);
        MessageBoxA(owner, text, "Install", MB_ICONINFORMATION);
        return false;
    }
    // A probe without access rights tells whether anything is there at all.
    wchar_t target[MAX_PATH];
    if (!WidenPath(targetPath, target)) return true;  // then nothing is there: the writing reports it
    HANDLE probe = CreateFileW(target, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return true;
    CloseHandle(probe);

    wchar_t folder[MAX_PATH], copy[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    bool extracted = length > 0 && length < MAX_PATH && GetTempFileNameW(folder, L"sci", 0, copy);
    DWORD installedVersion = 0, carriedVersion = 0;
    if (extracted) {
        extracted = ExtractResourceToFile(copy, resourceName);
        GetFileVersionField(copy, L"FileVersion", &carriedVersion);
        DeleteFileW(copy);
    }
    if (!extracted) {
        ReportDeployment(owner, kNotWritten, displayName);
        return false;
    }
    GetFileVersionField(target, L"FileVersion", &installedVersion);
    return AskToReplace(owner, installedVersion, carriedVersion, displayName) == IDYES;
}

// The carried copy is first written whole beside the target, and then put in
// its place by one rename within the folder: at every moment the target is
// either the old file or the new one, never a part of either, and a failure
// leaves the old one exactly as it was. The copy is a file made new under a
// name no other run uses, so that nothing left from an earlier run (its
// owner, rights or attributes, a link in its place) carries over, and two
// installers at once do not share it.
Deployment DeploySaver(const char* targetPath, const char* resourceName, bool replaceSameOrNewer)
{
    wchar_t target[MAX_PATH], folder[MAX_PATH], scratch[MAX_PATH];
    if (!WidenPath(targetPath, target)) return kNotWritten;
    lstrcpyW(folder, target);
    wchar_t* name = folder + lstrlenW(folder);
    while (name > folder && name[-1] != L'\\') --name;
    *name = L'\0';
    if (!GetTempFileNameW(folder, L"sci", 0, scratch)) return kNotWritten;
    if (!ExtractResourceToFile(scratch, resourceName)) {
        DeleteFileW(scratch);  // whatever part of it was written
        return kNotWritten;
    }

    HANDLE probe = CreateFileW(target, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool installed = probe != INVALID_HANDLE_VALUE;
    if (installed) {
        CloseHandle(probe);
        DWORD installedVersion = 0, carriedVersion = 0;
        GetFileVersionField(target, L"FileVersion", &installedVersion);
        GetFileVersionField(scratch, L"FileVersion", &carriedVersion);
        if (!replaceSameOrNewer && installedVersion >= carriedVersion) {
            DeleteFileW(scratch);
            return kLeftAlone;
        }
    }

    if (MoveIntoPlace(scratch, target)) return kDeployed;
    DeleteFileW(scratch);
    return installed ? kInUse : kNotWritten;
}
