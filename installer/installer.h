// What the installer's parts share: the two program-wide values and the
// routines that WinMain strings together.
#pragma once
#include <windows.h>

// Set once at start, read everywhere.
extern HINSTANCE g_instance;       // every resource lookup goes through it
extern char g_displayName[50];     // string 1: the saver's name, also the uninstall key's

// deploy.cpp: putting the carried screensaver at its target path.
// The system folder's file of that name, in a MAX_PATH buffer; false when the
// path does not fit.
bool SystemFilePath(const wchar_t* name, wchar_t* path);
// Paths of files are wide: the temporary folder's may have no ANSI form.
bool WidenPath(const char* path, wchar_t* wide);  // into a MAX_PATH buffer; false when it does not fit
int ExtractResourceToFile(const wchar_t* path, const char* resourceName);
// The field's length, 0 when there is none; packed receives its packed
// version, 0 on every failure.
int GetFileVersionField(const wchar_t* path, const wchar_t* field, DWORD* packed);
// Whether the MSI package (any version, either architecture) is installed:
// then the file is that package's, and this installer leaves it alone.
// productCode receives the package's, 39 bytes with its braces.
bool FindOwningPackage(char* productCode);
// Says what to do when the MSI package owns the file, and otherwise asks
// before an installed copy is replaced, with the question that the two
// versions call for; writes nothing where the install goes. True when there
// is nothing to replace or the user said Yes; a failure has been reported.
bool AgreesToInstall(HWND owner, const char* targetPath, const char* resourceName, const char* displayName);
// How DeploySaver ended: the payload in place, an installed copy left as it
// was (same or newer, when only an older one may be replaced), not written,
// or an installed copy in use and left as it was.
enum Deployment { kNotWritten, kDeployed, kLeftAlone, kInUse };
// No question and no message: the user has answered, or nobody is there to ask.
Deployment DeploySaver(const char* targetPath, const char* resourceName, bool replaceSameOrNewer);
// The message for kNotWritten or kInUse.
void ReportDeployment(HWND owner, Deployment result, const char* displayName);

// welcome.cpp: the backdrop, the welcome dialog and its web link.
extern const char kBackdropClass[];  // "InstallClass"
ATOM RegisterBackdropClass();
LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Its parameter: non-zero when the installer has administrator rights.
INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
