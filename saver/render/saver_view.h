// The drawing view: the window that shows the animation. Alone it is the
// preview (a child of the host's window); the full-screen SaverWindow derives
// from it and adds the input rules.
//
// Each view holds one board's animation (board/animation.h), built from the
// settings it is given when it is made. Its creation starts the animation
// timer, at the pace those settings ask for, and its destruction stops it;
// each tick (timer id 1) is a tick of the animation onto the window. A paint
// shows the whole current frame.
//
// The animation runs only while it can be seen: the session's display is on,
// and the view and its top-level window are shown and not minimised. Else it
// stands still and its timer stops, giving back the 1 ms timer resolution
// that the timer holds: a preview left open in its settings dialog overnight
// costs nothing once the display sleeps. When it can be seen again the next
// frame repaints everything, whatever became of the window's pixels.
#pragma once
#include "board/animation.h"
#include "framework/window.h"
#include "render/frame.h"
#include "sim/settings_reader.h"

// The window class of the view and of the blank monitor windows: its cursor
// shows nothing, so the pointer vanishes over them, and it has no background
// brush, since they paint every pixel themselves. Registered on first use.
const char* InvisiblePointerClass();

class SaverView : public Window {
public:
    // An autoDelete view deletes itself after its window's last message. The
    // settings must outlive the view: every scene is read from them.
    SaverView(bool autoDelete, SettingsReader& settings);
    ~SaverView() override;

    // Creates the window: the empty title, the given styles, position and
    // size, the parent's handle (none when parent is null) and child id 0.
    virtual bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent);

    // A new scene on the window's board; previewRequest as the scene set-up
    // takes it (only the world's first scene decides).
    void SetUpScene(int previewRequest);

    // The board of the scene: the client area in logical pixels, the
    // window's divided by the display's scale (GetDpiForWindow / 96, where
    // the system has it). Discs and sparks are drawn at the window's full
    // resolution, scaled by the same factor, so that they have the same
    // physical size at every scale. A change of scale starts a new scene. The
    // preview, a child of the host's window, keeps a scale of 1.
    const Rect& Board() const { return animation_.Board(); }

    const World& BoardWorld() const { return animation_.BoardWorld(); }

    // From now on the view's scenes and steps draw from a random sequence of
    // its own, started at seed, not from the program's.
    void UseOwnSequence(uint32_t seed) { animation_.UseOwnSequence(seed); }

    // The timer id of the animation's ticks.
    static constexpr UINT_PTR kTickTimerId = 1;

protected:
    bool HandleMessage(Message& m) override;
    void OnFinalMessage() override;

    SettingsReader& Settings() { return settings_; }

private:
    LRESULT OnCreate(Message& m);
    bool OnTick(Message& m);
    void OnPaint();
    void OnDpiChanged(UINT dpi);
    void OnPowerSettingChange(const POWERBROADCAST_SETTING* setting);
    bool CanBeSeen() const;
    // Stops or restarts the timer as the view stops or starts being seen.
    void FollowVisibility();

    // A frame onto target, a context of the client area: a tick's (stepped
    // first), or the whole current one.
    void Frame(HDC target, bool tick);

    bool autoDelete_;
    SettingsReader& settings_;
    // A paint is clipped to the area to paint: what it leaves out is
    // repainted by the next frame.
    Animation animation_{settings_, CompositionRules{false, true}};
    double scale_ = 1.0;
    // Until the system reports otherwise (and before Windows 8 it never
    // does), the display is on.
    bool displayOn_ = true;
    bool paused_ = false;  // the timer stopped because nobody could see it
    HPOWERNOTIFY displayNotification_ = nullptr;
    // The window may not show what the buffer says it does: a frame could
    // not reach it, or the display was off.
    bool repaintAll_ = false;
    // Kept from frame to frame; ticks and paints both run on this window's thread.
    BackBuffer buffer_;
};
