// The plain black window over each monitor but the primary one while the
// saver runs full-screen. It follows the saver window's input rules and
// forwards its close requests to it; the saver window owns it.
#pragma once
#include "framework/window.h"

class SaverWindow;

// The first-position rule for mouse moves: the first move a window gets is
// only remembered (the system may send one as soon as a window appears under
// the pointer); any later move to another point, by however little, is real.
// firstMouse is (-1, -1) until the first move. True when the move should end
// the saver.
bool MovedFromFirstPosition(POINT& firstMouse, LPARAM position);

// The input rules that every full-screen window shares: true when the message
// (a real mouse move, a button press or a key) should end the saver. The
// message gets its default processing either way.
bool InputEndsSaver(const Message& m, POINT& firstMouse);

class BlankMonitorWindow : public Window {
public:
    BlankMonitorWindow() = default;
    ~BlankMonitorWindow() override;

    // The same parameters as SaverView::Create; the id and context are not used.
    virtual bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id, void* context);

    // Receives this window's close requests; not owned. Set before Create.
    SaverWindow* owner = nullptr;

protected:
    bool HandleMessage(Message& m) override;

private:
    void RequestClose();
    void OnPaint();

    POINT firstMouse_ = {-1, -1};
};
