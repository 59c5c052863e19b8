// The backdrop behind the installer, the welcome dialog and its web link.
#include "installer.h"

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "backdrop_bands.h"
#include "link_font.h"
#include "resource.h"

const char kBackdropClass[] = "InstallClass";

namespace {

// Appends text to what buffer holds, cutting it to fit.
void AppendText(char* buffer, int size, const char* text)
{
    const int used = lstrlenA(buffer);
    if (used < size - 1) lstrcpynA(buffer + used, text, size - used);
}

void PaintBackdrop(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    for (const Band& band : BackdropBands(client.right, client.bottom)) {
        const RECT r = {band.left, band.top, band.right, band.bottom};
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, band.blue));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &ps);
}

void FillInWelcomeTexts(HWND dialog)
{
    char thanks[256];
    GetDlgItemTextA(dialog, IDC_THANKS, thanks, 255);
    AppendText(thanks, sizeof thanks, g_displayName);
    AppendText(thanks, sizeof thanks, "!");
    SetDlgItemTextA(dialog, IDC_THANKS, thanks);

    // The template text follows the name, read in straight behind it.
    char freeware[512];
    lstrcpynA(freeware, g_displayName, sizeof freeware);
    const int nameLength = lstrlenA(freeware);
    GetDlgItemTextA(dialog, IDC_FREEWARE, freeware + nameLength, sizeof freeware - nameLength);
    SetDlgItemTextA(dialog, IDC_FREEWARE, freeware);

    char title[256];
    lstrcpynA(title, g_displayName, sizeof title);
    AppendText(title, sizeof title, " Installer");
    SetWindowTextA(dialog, title);
}

void PaintLink(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT bounds;
    GetWindowRect(window, &bounds);
    POINT origin = {bounds.left, bounds.top};
    ScreenToClient(window, &origin);

    // The dialog's text grows with the screen's resolution; the link keeps step.
    HFONT font = CreateFontA(LinkFontHeight(GetDeviceCaps(dc, LOGPIXELSY)), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(dc, font);
    char address[256];
    const int length = GetWindowTextA(window, address, sizeof address);
    TextOutA(dc, origin.x, origin.y, address, length);
    SelectObject(dc, previous);
    EndPaint(window, &ps);
    DeleteObject(font);
}

// An interface pointer that is released when it goes out of scope.
template <class Interface> class Held {
public:
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (pointer_) pointer_->Release();
    }
    Interface** operator&() { return &pointer_; }
    Interface* operator->() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// An installer run as administrator (from an elevated prompt, or with user
// account control off) would hand those rights on to the browser. The
// desktop shell runs as the user who is signed in: its own ShellExecute
// opens the page there, with that user's rights. The way to it goes from the
// desktop's window through its browser and view to the shell's dispatch
// object. False, with nothing asked, where no desktop shell answers.
bool OpenThroughDesktopShell(const char* address)
{
    wchar_t wide[256];
    if (MultiByteToWideChar(CP_ACP, 0, address, -1, wide, 256) == 0) return false;
    Held<IShellWindows> windows;
    Held<IDispatch> desktop, background, application;
    Held<IServiceProvider> services;
    Held<IShellBrowser> browser;
    Held<IShellView> view;
    Held<IShellFolderViewDual> folder;
    Held<IShellDispatch2> shell;
    VARIANT where = {}, none = {};
    where.vt = VT_I4;
    where.lVal = CSIDL_DESKTOP;
    long window = 0;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows))) ||
        windows->FindWindowSW(&where, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop) != S_OK ||
        FAILED(desktop->QueryInterface(IID_PPV_ARGS(&services))) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
        FAILED(browser->QueryActiveShellView(&view)) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
        FAILED(background->QueryInterface(IID_PPV_ARGS(&folder))) || FAILED(folder->get_Application(&application)) ||
        FAILED(application->QueryInterface(IID_PPV_ARGS(&shell))))
        return false;

    // This installer is in front while the user clicks; the desktop's
    // process may then put the browser in front too.
    DWORD process = 0;
    if (GetWindowThreadProcessId(reinterpret_cast<HWND>(LONG_PTR(window)), &process)) AllowSetForegroundWindow(process);
    VARIANT verb = {}, show = {};
    verb.vt = VT_BSTR;
    verb.bstrVal = SysAllocString(L"open");
    show.vt = VT_I4;
    show.lVal = SW_SHOW;
    const BSTR file = SysAllocString(wide);
    // Once the desktop shell has been reached, it alone opens the page:
    // where it cannot, the page stays closed rather than open elevated.
    if (file && verb.bstrVal) shell->ShellExecute(file, none, none, verb, show);
    SysFreeString(file);
    SysFreeString(verb.bstrVal);
    return true;
}

}  // namespace

ATOM RegisterBackdropClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BackdropWndProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kBackdropClass;
    return RegisterClassExA(&wc);
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        // The link is drawn and driven wholly by LinkWndProc; the static
        // control's own procedure is not needed any more. It keeps whether
        // the installer has administrator rights, which decide how it opens.
        HWND link = GetDlgItem(dialog, IDC_WEB_LINK);
        SetWindowLongPtrA(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkWndProc));
        SetWindowLongPtrA(link, GWLP_USERDATA, lParam);
        FillInWelcomeTexts(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK LinkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintLink(window);
        return 1;
    case WM_MOUSEMOVE:
        SetCursor(LoadCursorA(g_instance, MAKEINTRESOURCEA(IDCUR_LINK_HAND)));
        break;
    case WM_LBUTTONDOWN: {
        char address[256];
        GetWindowTextA(window, address, sizeof address);
        // The desktop shell's objects, and the handlers that the shell may
        // start for the address, are COM objects.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        if (!GetWindowLongPtrA(window, GWLP_USERDATA) || !OpenThroughDesktopShell(address))
            ShellExecuteA(GetDesktopWindow(), "open", address, "", "", SW_SHOW);
        if (SUCCEEDED(com)) CoUninitialize();
        return 1;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
