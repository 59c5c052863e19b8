// Window objects: one object wraps one window handle and sees its messages
// through a message table, HandleMessage, which each class overrides.
//
// A table handles what its class handles and chains to its base class's
// table as its last entry, so it reads top to bottom as priority. A message
// that no table handles gets the default processing: the default window
// procedure for our own windows, the control's own procedure for a
// subclassed control, the dialog manager's for a dialog.
#pragma once
#include <windows.h>

struct Message {
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;  // what a handler returns for the message
};

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }

    // The main window: the one whose destruction ends the message loop, by a
    // quit message with code 0, and which owns the dialogs run without a
    // parent. None until one is set, and none again once it is gone.
    static Window* Main();
    static void SetMain(Window* window);

    // Registers a window class with these attributes under a name unique in
    // the process, which it writes to name; false, with an empty name, when
    // registration failed.
    static bool RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon, char (&name)[32]);

protected:
    // The message table. Returns true when the message was handled, with its
    // result in m.result; false gives it the default processing.
    virtual bool HandleMessage(Message& m);

    // The default processing of a message, for handlers of our own windows
    // and subclassed controls that must run it first (a creation handler,
    // say). Dialogs get theirs after the table.
    LRESULT DefaultProcessing(const Message& m);

    // Runs after the window's last message (WM_NCDESTROY), when the handle is
    // already cleared: the one place where a heap object may delete itself.
    virtual void OnFinalMessage() {}

    // Creates a window of a registered class for this object, child id 0.
    bool CreateWindowOfClass(const char* className, const char* title, DWORD exStyle, DWORD style,
                             const RECT& rect, HWND parent);

    // Takes over the messages of an existing control (a window not made by
    // this object); the control's own procedure stays its default processing.
    bool SubclassWindow(HWND control);

    // Wraps an existing window without taking over its messages.
    void AttachHandle(HWND window) { hwnd_ = window; }

    // Dialogs route their messages here from their dialog procedure.
    LRESULT Dispatch(UINT id, WPARAM wParam, LPARAM lParam, bool* handled);

private:
    enum class Kind { Wrapped, Own, Subclassed };

    static LRESULT CALLBACK OwnWindowProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self);
    void AfterLastMessage();

    friend class Dialog;
    HWND hwnd_ = nullptr;
    Kind kind_ = Kind::Wrapped;
};
