// The installer as Windows runs it for a user without rights, which Wine does not show: no Administrators
// group, no writes to HKEY_LOCAL_MACHINE. ShellExecuteExW stands in for the prompt (VELLORAN_PROMPT: yes, no,
// or fails as a moved file would); the elevated copy it starts has rights to the machine but an administrator's
// HKEY_CURRENT_USER, which is not the user's, and where system.ini's SCRNSAVE.EXE goes too. With VELLORAN_WOW64
// set, it is instead the 32-bit installer run by an administrator on 64-bit Windows.
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <string>

#include "winhelp.h"

namespace {

const bool elevated = GetEnvironmentVariableA("VELLORAN_ELEVATED", nullptr, 0) > 0;
decltype(&RegCreateKeyExA) realCreateKey;
decltype(&SystemParametersInfoA) realParameters;

void Note(const std::wstring& line)
{
    char log[MAX_PATH] = {};
    GetEnvironmentVariableA("VELLORAN_PROMPT_LOG", log, MAX_PATH);
    std::wofstream(log, std::ios::app | std::ios::binary) << line << L"\n";
}

BOOL WINAPI NotAdministrator(HANDLE, PSID, PBOOL member) { return *member = FALSE, TRUE; }
INT_PTR WINAPI NoDialog(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) { return -1; }
LSTATUS WINAPI CreateKey(HKEY root, LPCSTR name, DWORD reserved, LPSTR kind, DWORD options, REGSAM access,
                         LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    if (root == (elevated ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE)) return ERROR_ACCESS_DENIED;
    return realCreateKey(root, name, reserved, kind, options, access, security, key, disposition);
}
BOOL WINAPI Parameters(UINT action, UINT value, PVOID data, UINT flags)
{
    return action == SPI_SETSCREENSAVEACTIVE && elevated ? FALSE : realParameters(action, value, data, flags);
}
BOOL WINAPI AdministratorsProfile(LPCSTR, LPCSTR, LPCSTR, LPCSTR) { return TRUE; }
HINSTANCE WINAPI Start(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT)
{
    Note(std::wstring(verb) + L" " + file + L" " + parameters + L" " + folder);
    return HINSTANCE(42);
}

BOOL WINAPI Prompt(SHELLEXECUTEINFOW* info)
{
    char answer[8] = {};
    Note(std::wstring(info->lpVerb ? info->lpVerb : L"") + L" " + (info->lpParameters ? info->lpParameters : L"") +
         (info->fMask & SEE_MASK_NOZONECHECKS ? L" without zone check" : L""));
    GetEnvironmentVariableA("VELLORAN_PROMPT", answer, sizeof answer);
    if (lstrcmpA(answer, "yes") != 0)
        return SetLastError(lstrcmpA(answer, "no") == 0 ? ERROR_CANCELLED : ERROR_FILE_NOT_FOUND), FALSE;
    std::wstring command = L"\"" + std::wstring(info->lpFile) + L"\" " + info->lpParameters;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    SetEnvironmentVariableA("VELLORAN_ELEVATED", "1");
    if (!CreateProcessW(info->lpFile, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return FALSE;
    CloseHandle(process.hThread);
    info->hProcess = process.hProcess;
    return TRUE;
}

const bool redirected = [] {
    if (GetEnvironmentVariableA("VELLORAN_WOW64", nullptr, 0) > 0) return wt::ModelWow64Registry(), true;
    realCreateKey = wt::ReplaceImport("advapi32.dll", "RegCreateKeyExA", &CreateKey);
    realParameters = wt::ReplaceImport("user32.dll", "SystemParametersInfoA", &Parameters);
    wt::ReplaceImport("shell32.dll", "ShellExecuteExW", &Prompt);
    wt::ReplaceImport("shell32.dll", "ShellExecuteW", &Start);
    if (elevated) wt::ReplaceImport("kernel32.dll", "WritePrivateProfileStringA", &AdministratorsProfile);
    if (!elevated) wt::ReplaceImport("advapi32.dll", "CheckTokenMembership", &NotAdministrator);
    DWORD_PTR answer;
    if (elevated && !SendMessageTimeoutA(FindWindowA("InstallClass", nullptr), WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer))
        Note(L"the waiting installer does not answer");
    char welcome[8] = {};
    GetEnvironmentVariableA("VELLORAN_WELCOME", welcome, sizeof welcome);
    if (lstrcmpA(welcome, "fails") == 0) wt::ReplaceImport("user32.dll", "DialogBoxParamA", &NoDialog);
    return true;
}();

}  // namespace
