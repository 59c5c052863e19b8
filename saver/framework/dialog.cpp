#include "framework/dialog.h"

#include <cstring>


namespace {
// Initialisation data of a dialog: resource type 240 under the template's id.
constexpr WORD kInitDataType = 240;
constexpr WORD kComboAddString = 0x0403;

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT id)
{
    switch (id) {
    case WM_INITDIALOG: case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}
}  // namespace

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR Dialog::DoModal()
{
    HWND owner = parent_;
    // Without a parent, the application's main window (if it is another one) owns the dialog.
    if (!owner) {
        const Window* main = Window::Main();
        if (main && main != this) owner = main->Handle();
    }
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result)
{
    if (hwnd_) ::EndDialog(hwnd_, result);
}

BOOL Dialog::OnInitDialog()
{
    BindControls();
    return TRUE;
}

bool Dialog::OnNotify(int, NMHDR*, LRESULT*) { return false; }

void Dialog::CenterWindow()
{
    RECT self, area;
    GetWindowRect(hwnd_, &self);
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int width = self.right - self.left, height = self.bottom - self.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Dialog::HandleMessage(Message& m)
{
    switch (m.id) {
    case WM_INITDIALOG:
        ApplyInitData();
        m.result = OnInitDialog();
        return true;
    case WM_COMMAND:
        if (HIWORD(m.wParam) == BN_CLICKED) {
            if (LOWORD(m.wParam) == IDOK) { OnOK(); return true; }
            if (LOWORD(m.wParam) == IDCANCEL) { OnCancel(); return true; }
        }
        return false;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(m.lParam);
        LRESULT result = 0;
        if (header && OnNotify(static_cast<int>(header->idFrom), header, &result)) {
            m.result = result;
            return true;
        }
        return false;
    }
    default:
        return Window::HandleMessage(m);
    }
}

void Dialog::ApplyInitData()
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId_), MAKEINTRESOURCEA(kInitDataType));
    if (!found) return;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!data) return;

    // Entries: control id (16 bits), request (16 bits), byte count (32 bits),
    // that many bytes of text; a 0 id ends the list. Every read is checked
    // against the resource's size so damaged data cannot run past it.
    DWORD pos = 0;
    while (pos + 2 <= size) {
        WORD control, request;
        DWORD count;
        std::memcpy(&control, data + pos, 2);
        if (control == 0 || pos + 8 > size) break;
        std::memcpy(&request, data + pos + 2, 2);
        std::memcpy(&count, data + pos + 4, 4);
        pos += 8;
        if (count > size - pos) break;
        if (request == kComboAddString && count > 0 && data[pos + count - 1] == '\0') {
            SendDlgItemMessageA(hwnd_, control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data + pos));
        }
        pos += count;
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self && id == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = window;
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return FALSE;

    bool handled = false;
    LRESULT result = self->Dispatch(id, wParam, lParam, &handled);
    if (id == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->AfterLastMessage();
        return FALSE;
    }
    if (!handled) return FALSE;
    if (ReturnsDirectly(id)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}
