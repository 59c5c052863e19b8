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
bool MoveIntoPlace(const char* from, const char* to)
{
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 10) return false;
        Sleep(100);
    }
}

}  // namespace

int ExtractResourceToFile(const char* path, const char* resourceName)
{
    HRSRC resource = FindResourceA(g_instance, resourceName, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!resource) return 0;
    const DWORD size = SizeofResource(g_instance, resource);
    const void* bytes = LockResource(LoadResource(g_instance, resource));
    if (!bytes) return 0;

    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    // On disk before the file is renamed into place: a rename within the
    // folder moves no data, and a power cut must not leave a damaged copy.
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

int GetFileVersionField(const char* path, const char* field, char* buffer, UINT bufferSize, DWORD* packed)
{
    if (packed) *packed = 0;
    DWORD ignored = 0;
    const DWORD blockSize = GetFileVersionInfoSizeA(path, &ignored);
    if (blockSize == 0) return 0;
    char* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, blockSize));
    if (!block) return 0;
    if (!GetFileVersionInfoA(path, 0, blockSize, block)) {
        HeapFree(GetProcessHeap(), 0, block);
        return 0;
    }

    // Only the first language and code page of the translation table counts.
    WORD* translation = nullptr;
    UINT translationSize = 0;
    char* text = nullptr;
    UINT textSize = 0;
    char query[300];
    bool found = VerQueryValueA(block, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                &translationSize) &&
                 translationSize >= 2 * sizeof(WORD);
    if (found && lstrlenA(field) < 200) {
        const DWORD languageAndCodePage = (DWORD(translation[0]) << 16) | translation[1];
        wsprintfA(query, "\\StringFileInfo\\%08lx\\%s", languageAndCodePage, field);
        found = VerQueryValueA(block, query, reinterpret_cast<void**>(&text), &textSize) && text;
    } else {
        found = false;
    }
    if (!found) {
        HeapFree(GetProcessHeap(), 0, block);
        return 0;
    }

    const int length = lstrlenA(text);
    if (buffer && bufferSize > 0) {
        const UINT copy = UINT(length) + 1 < bufferSize - 1 ? UINT(length) + 1 : bufferSize - 1;
        CopyMemory(buffer, text, copy);
        buffer[bufferSize - 1] = '\0';
    }
    if (packed) *packed = PackFileVersion(text);
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
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof "\\msi.dll" > MAX_PATH) return false;
    lstrcatA(path, "\\msi.dll");
    HMODULE msi = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
    HANDLE probe = CreateFileA(targetPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return true;
    CloseHandle(probe);

    char folder[260], copy[260];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    bool extracted = length > 0 && length < sizeof folder && GetTempFileNameA(folder, "sci", 0, copy);
    DWORD installedVersion = 0, carriedVersion = 0;
    if (extracted) {
        extracted = ExtractResourceToFile(copy, resourceName);
        GetFileVersionField(copy, "FileVersion", nullptr, 0, &carriedVersion);
        DeleteFileA(copy);
    }
    if (!extracted) {
        ReportDeployment(owner, kNotWritten, displayName);
        return false;
    }
    GetFileVersionField(targetPath, "FileVersion", nullptr, 0, &installedVersion);
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
    char folder[260], scratch[260];
    lstrcpynA(folder, targetPath, sizeof folder);
    char* name = folder + lstrlenA(folder);
    while (name > folder && name[-1] != '\\') --name;
    *name = '\0';
    if (!GetTempFileNameA(folder, "sci", 0, scratch)) return kNotWritten;
    if (!ExtractResourceToFile(scratch, resourceName)) {
        DeleteFileA(scratch);  // whatever part of it was written
        return kNotWritten;
    }

    HANDLE probe = CreateFileA(targetPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool installed = probe != INVALID_HANDLE_VALUE;
    if (installed) {
        CloseHandle(probe);
        DWORD installedVersion = 0, carriedVersion = 0;
        GetFileVersionField(targetPath, "FileVersion", nullptr, 0, &installedVersion);
        GetFileVersionField(scratch, "FileVersion", nullptr, 0, &carriedVersion);
        if (!replaceSameOrNewer && installedVersion >= carriedVersion) {
            DeleteFileA(scratch);
            return kLeftAlone;
        }
    }

    if (MoveIntoPlace(scratch, targetPath)) return kDeployed;
    DeleteFileA(scratch);
    return installed ? kInUse : kNotWritten;
}
