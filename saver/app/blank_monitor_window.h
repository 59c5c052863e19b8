// The plain black window over each monitor but the primary one while the
// saver runs full-screen. It follows the saver's input rules (input_rules.h)
// and forwards its close requests to the saver window, which owns it.
#pragma once
#include "board/first_pointer.h"
#include "framework/window.h"

class SaverWindow;

class BlankMonitorWindow : public Window {
public:
    BlankMonitorWindow() = default;
    ~BlankMonitorWindow() override;

    // The same parameters as SaverView::Create.
    virtual bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent);

    // Receives this window's close requests; not owned. Set before Create.
    SaverWindow* owner = nullptr;
    // The monitor it was made for, in virtual-screen coordinates.
    RECT monitor = {};

protected:
    bool HandleMessage(Message& m) override;

private:
    void RequestClose();
    void OnPaint();

    FirstPointer firstMouse_;
};
