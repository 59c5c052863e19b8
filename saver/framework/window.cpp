#include "framework/window.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 1;
Window* mainWindow = nullptr;
}  // namespace

Window* Window::Main() { return mainWindow; }

void Window::SetMain(Window* window) { mainWindow = window; }

Window::~Window()
{
    // An object that goes before its window is no main window any more.
    if (mainWindow == this) mainWindow = nullptr;
    // A window that outlives its object must not reach it any more.
    if (hwnd_ && IsWindow(hwnd_)) {
        if (kind_ == Kind::Own) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        if (kind_ == Kind::Subclassed) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    }
}

bool Window::RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon, char (&name)[32])
{
    static unsigned registered = 0;
    wsprintfA(name, "VelloranWindow%u", ++registered);
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = OwnWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (RegisterClassA(&wc)) return true;
    name[0] = '\0';
    return false;
}

bool Window::HandleMessage(Message&) { return false; }

LRESULT Window::DefaultProcessing(const Message& m)
{
    if (kind_ == Kind::Subclassed) return DefSubclassProc(hwnd_, m.id, m.wParam, m.lParam);
    return DefWindowProcA(hwnd_, m.id, m.wParam, m.lParam);
}

bool Window::CreateWindowOfClass(const char* className, const char* title, DWORD exStyle, DWORD style,
                                 const RECT& rect, HWND parent)
{
    if (hwnd_ || !className || !className[0]) return false;
    kind_ = Kind::Own;
    // The object travels in the creation parameters and is bound to the handle
    // at WM_NCCREATE, so windows created from inside handlers work too.
    HWND created = CreateWindowExA(exStyle, className, title, style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                   GetModuleHandleA(nullptr), this);
    return created != nullptr;
}

bool Window::SubclassWindow(HWND control)
{
    if (hwnd_ || !control) return false;
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    hwnd_ = control;
    kind_ = Kind::Subclassed;
    return true;
}

LRESULT Window::Dispatch(UINT id, WPARAM wParam, LPARAM lParam, bool* handled)
{
    // Handlers cannot throw (the programs are built without exceptions), so
    // nothing can unwind through the system's code from here.
    Message m{id, wParam, lParam, 0};
    const bool done = HandleMessage(m);
    if (handled) *handled = done;
    return done ? m.result : 0;
}

LRESULT CALLBACK Window::OwnWindowProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self && id == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return DefWindowProcA(window, id, wParam, lParam);

    bool handled = false;
    LRESULT result = self->Dispatch(id, wParam, lParam, &handled);
    if (!handled) result = DefWindowProcA(window, id, wParam, lParam);
    if (id == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->AfterLastMessage();
    }
    return result;
}

LRESULT CALLBACK Window::SubclassProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data)
{
    auto* self = reinterpret_cast<Window*>(data);
    bool handled = false;
    LRESULT result = self->Dispatch(id, wParam, lParam, &handled);
    if (!handled) result = DefSubclassProc(window, id, wParam, lParam);
    if (id == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        self->AfterLastMessage();
    }
    return result;
}

void Window::AfterLastMessage()
{
    hwnd_ = nullptr;
    // Main-window rule: when the main window goes, the message loop ends.
    // The one place that posts the quit message.
    if (mainWindow == this) {
        mainWindow = nullptr;
        PostQuitMessage(0);
    }
    OnFinalMessage();
}
