// The drawing view: the window that shows the animation. Alone it is the
// preview (a child of the host's window); the full-screen SaverWindow derives
// from it and adds the input rules.
//
// Its creation starts the animation timer and its destruction stops it; each
// tick (timer id 1) steps the world, draws the frame and, when the scene has
// run its length, clears the window and sets up a new scene. A paint shows
// the whole current frame.
//
// The animation runs only while it can be seen: the session's display is on,
// and the view and its top-level window are shown and not minimised. Else it
// stands still and its timer stops, giving back the 1 ms timer resolution
// that the timer holds: a preview left open in its settings dialog overnight
// costs nothing once the display sleeps. When it can be seen again the next
// frame repaints everything, whatever became of the window's pixels.
#pragma once
#include "framework/window.h"
#include "render/frame.h"

// The window class of the view and of the blank monitor windows: its cursor
// shows nothing, so the pointer vanishes over them, and it has no background
// brush, since they paint every pixel themselves. Registered on first use.
const char* InvisiblePointerClass();

class SaverView : public Window {
public:
    // An autoDelete view deletes itself after its window's last message.
    explicit SaverView(bool autoDelete);
    ~SaverView() override;

    // Creates the window: the empty title, the given styles, position and
    // size, the parent's handle (none when parent is null) and child id 0.
    // The id and the context are not used.
    virtual bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id, void* context);

    // The timer id of the animation's ticks.
    static constexpr UINT_PTR kTickTimerId = 1;

protected:
    bool HandleMessage(Message& m) override;
    void OnFinalMessage() override;

private:
    LRESULT OnCreate(Message& m);
    bool OnTick(Message& m);
    void OnPaint();
    void OnPowerSettingChange(const POWERBROADCAST_SETTING* setting);
    bool CanBeSeen() const;
    // Stops or restarts the timer as the view stops or starts being seen.
    void FollowVisibility();

    bool autoDelete_;
    UINT tickPeriod_ = 0;  // milliseconds
    // Until the system reports otherwise (and before Windows 8 it never
    // does), the display is on.
    bool displayOn_ = true;
    bool paused_ = false;  // the timer stopped because nobody could see it
    HPOWERNOTIFY displayNotification_ = nullptr;
    // The window may not show what the buffer says it does: a frame could
    // not reach it, or the display was off.
    bool repaintAll_ = false;
    // The back buffer and what it knows of the window, kept from frame to
    // frame; ticks and paints both run on this window's thread.
    FrameComposer frames_;
};
