// What the installer's parts share: the two program-wide values and the
// routines that WinMain strings together.
#pragma once
#include <windows.h>

// Set once at start, read everywhere.
extern HINSTANCE g_instance;       // every resource lookup goes through it
extern char g_displayName[50];     // string 1: the saver's name, also the uninstall key's

// deploy.cpp: putting the carried screensaver at its target path.
int ExtractResourceToFile(const char* path, const char* resourceName);
int GetFileVersionField(const char* path, const char* field, char* buffer, UINT bufferSize, DWORD* packed);
// How DeploySaver ended: the payload in place, an installed copy left as it
// was (declined, or same or newer in a silent install), or not written.
enum Deployment { kNotWritten, kDeployed, kLeftAlone };
// Silent: no question and no message; an older copy is replaced, a same or
// newer one left alone.
Deployment DeploySaver(HWND owner, const char* targetPath, const char* resourceName, const char* displayName,
                       bool silent);

// welcome.cpp: the backdrop, the welcome dialog and its web link.
extern const char kBackdropClass[];  // "InstallClass"
ATOM RegisterBackdropClass();
LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
