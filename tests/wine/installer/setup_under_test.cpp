// The installer as Windows runs it for a user without rights, which Wine does not show: no Administrators group,
// no writes to HKEY_LOCAL_MACHINE. ShellExecuteExW stands in for the prompt, which the user accepts unless
// VELLORAN_MODEL says "declined"; the elevated copy it starts has rights to the machine but an administrator's
// HKEY_CURRENT_USER, not the user's: it creates no key there, so that any of the user's activation done there
// shows. Other words: "wow64", the 32-bit installer run by an administrator on 64-bit Windows; "administrator",
// the rights Wine gives, with a desktop shell (Wine's has no view: the model below stands in for it);
// "no-welcome", the welcome dialog cannot show.
#define CINTERFACE  // the shell's interfaces as tables of functions, so that the model fills only what is used
#include <windows.h>

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <string>

#include "winhelp.h"

namespace {

const bool elevated = GetEnvironmentVariableA("VELLORAN_ELEVATED", nullptr, 0) > 0;
decltype(&RegCreateKeyExA) realCreateKey;

bool Modelled(const char* word)
{
    char model[64] = {};
    GetEnvironmentVariableA("VELLORAN_MODEL", model, sizeof model);
    return std::strstr(model, word) != nullptr;
}

void Note(const std::wstring& line)  // into prompts.log, beside this program and the test that started it
{
    std::wofstream(wt::Artefact("prompts.log"), std::ios::app | std::ios::binary) << line << L"\n";
}

BOOL WINAPI NotAdministrator(HANDLE, PSID, PBOOL member) { return *member = FALSE, TRUE; }
INT_PTR WINAPI NoDialog(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) { return -1; }
LSTATUS WINAPI CreateKey(HKEY root, LPCSTR name, DWORD reserved, LPSTR kind, DWORD options, REGSAM access,
                         LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    if (root == (elevated ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE)) return ERROR_ACCESS_DENIED;
    return realCreateKey(root, name, reserved, kind, options, access, security, key, disposition);
}
HINSTANCE WINAPI Start(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT)
{
    Note(std::wstring(verb) + L" " + file + L" " + parameters + L" " + folder);
    return HINSTANCE(42);
}

// The desktop shell, object by object from the desktop's window to the dispatch object whose ShellExecute opens
// what it is given, for the user who is signed in. Each object points at its own table of functions.
template <class Object, class Table> struct Model { Table table; Object object{&table}; };
Model<IShellWindows, IShellWindowsVtbl> windows;
Model<IServiceProvider, IServiceProviderVtbl> services;
Model<IShellBrowser, IShellBrowserVtbl> browser;
Model<IShellView, IShellViewVtbl> view;
Model<IShellFolderViewDual, IShellFolderViewDualVtbl> folder;
Model<IShellDispatch2, IShellDispatch2Vtbl> shell;

template <class Object> HRESULT STDMETHODCALLTYPE Ask(Object*, REFIID iid, void** next)
{
    *next = IsEqualIID(iid, IID_IServiceProvider)     ? static_cast<void*>(&services.object)
            : IsEqualIID(iid, IID_IShellFolderViewDual) ? static_cast<void*>(&folder.object)
            : IsEqualIID(iid, IID_IShellDispatch2)      ? static_cast<void*>(&shell.object)
                                                        : nullptr;
    return *next ? S_OK : E_NOINTERFACE;
}
template <class Object> ULONG STDMETHODCALLTYPE Kept(Object*) { return 1; }
template <class Table> void Unknown(Table& table) { table.QueryInterface = Ask, table.AddRef = table.Release = Kept; }

// Wine's input methods put every window's thread into an apartment, which on Windows only the installer's own
// call need do.
decltype(&CoInitializeEx) realInitialize;
bool apartment = false;
HRESULT WINAPI Initialize(LPVOID reserved, DWORD model)
{
    const HRESULT result = realInitialize(reserved, model);
    apartment = SUCCEEDED(result) && (model & COINIT_APARTMENTTHREADED);
    return result;
}
HRESULT WINAPI CreateShellWindows(REFCLSID kind, IUnknown*, DWORD, REFIID iid, void** object)
{
    if (!apartment) return CO_E_NOTINITIALIZED;
    *object = IsEqualCLSID(kind, CLSID_ShellWindows) && IsEqualIID(iid, IID_IShellWindows) ? &windows.object : nullptr;
    return *object ? S_OK : REGDB_E_CLASSNOTREG;
}
HRESULT STDMETHODCALLTYPE FindDesktop(IShellWindows*, VARIANT*, VARIANT*, int kind, long* window, int options, IDispatch** found)
{
    const bool runs = kind == SWC_DESKTOP && (options & SWFO_NEEDDISPATCH);
    *window = runs ? long(LONG_PTR(GetDesktopWindow())) : 0;
    *found = runs ? reinterpret_cast<IDispatch*>(&services.object) : nullptr;
    return runs ? S_OK : S_FALSE;
}
HRESULT STDMETHODCALLTYPE TopLevelBrowser(IServiceProvider*, REFGUID service, REFIID iid, void** found)
{
    const bool known = IsEqualGUID(service, SID_STopLevelBrowser) && IsEqualIID(iid, IID_IShellBrowser);
    return *found = known ? &browser.object : nullptr, known ? S_OK : E_NOINTERFACE;
}
HRESULT STDMETHODCALLTYPE ActiveView(IShellBrowser*, IShellView** found) { return *found = &view.object, S_OK; }
HRESULT STDMETHODCALLTYPE Background(IShellView*, UINT item, REFIID iid, void** found)
{
    const bool known = item == SVGIO_BACKGROUND && IsEqualIID(iid, IID_IDispatch);
    return *found = known ? &folder.object : nullptr, known ? S_OK : E_NOINTERFACE;
}
HRESULT STDMETHODCALLTYPE Application(IShellFolderViewDual*, IDispatch** found)
{
    return *found = reinterpret_cast<IDispatch*>(&shell.object), S_OK;
}
HRESULT STDMETHODCALLTYPE OpenAsUser(IShellDispatch2*, BSTR file, VARIANT, VARIANT, VARIANT verb, VARIANT show)
{
    Note(std::wstring(verb.vt == VT_BSTR ? verb.bstrVal : L"-") + L" " + file + L" as the user, shown " +
         std::to_wstring(show.vt == VT_I4 ? show.lVal : -1));
    return S_OK;
}

BOOL WINAPI Prompt(SHELLEXECUTEINFOW* info)
{
    Note(std::wstring(info->lpVerb ? info->lpVerb : L"") + L" " + (info->lpParameters ? info->lpParameters : L"") +
         (info->fMask & SEE_MASK_NOZONECHECKS ? L" without zone check" : L""));
    if (Modelled("declined")) return SetLastError(ERROR_CANCELLED), FALSE;
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
    if (Modelled("wow64")) return wt::ModelWow64Registry(), true;
    realCreateKey = wt::ReplaceImport("advapi32.dll", "RegCreateKeyExA", &CreateKey);
    wt::ReplaceImport("shell32.dll", "ShellExecuteExW", &Prompt);
    wt::ReplaceImport("shell32.dll", "ShellExecuteW", &Start);
    wt::ReplaceImport("ole32.dll", "CoCreateInstance", &CreateShellWindows);
    realInitialize = wt::ReplaceImport("ole32.dll", "CoInitializeEx", &Initialize);
    Unknown(windows.table), Unknown(services.table), Unknown(browser.table), Unknown(view.table);
    Unknown(folder.table), Unknown(shell.table);
    windows.table.FindWindowSW = FindDesktop;
    services.table.QueryService = TopLevelBrowser;
    browser.table.QueryActiveShellView = ActiveView;
    view.table.GetItemObject = Background;
    folder.table.get_Application = Application;
    shell.table.ShellExecute = OpenAsUser;
    if (!elevated && !Modelled("administrator"))
        wt::ReplaceImport("advapi32.dll", "CheckTokenMembership", &NotAdministrator);
    if (Modelled("no-welcome")) wt::ReplaceImport("user32.dll", "DialogBoxParamA", &NoDialog);
    return true;
}();

}  // namespace
