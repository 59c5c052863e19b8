// The drawing view: the window that shows the animation. Alone it is the
// preview (a child of the host's window); the full-screen SaverWindow derives
// from it and adds the input rules.
//
// Each view has a world of its own, built from the settings it is given when
// it is made. Its creation starts the animation timer, at the pace those
// settings ask for, and its destruction stops it; each tick (timer id 1)
// steps the world, draws the frame and, when the scene has run its length,
// clears the window and sets up a new scene. A paint shows the whole current
// frame.
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
#include "sim/settings_reader.h"
#include "sim/world.h"

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
    // The id and the context are not used.
    virtual bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id, void* context);

    // A new scene on the window's board; previewRequest as the scene set-up
    // takes it (only the world's first scene decides).
    void SetUpScene(int previewRequest);

    // The board: the client area in logical pixels, the window's divided by
    // the display's scale (GetDpiForWindow / 96, where the system has it).
    // Discs and sparks are drawn at the window's full resolution, scaled by
    // the same factor, so that they have the same physical size at every
    // scale. A change of scale starts a new scene. The preview, a child of
    // the host's window, keeps a scale of 1.
    Rect Board() const;
    double Scale() const { return scale_; }

    World& BoardWorld() { return world_; }

    // From now on the view's scenes and steps draw from a random sequence of
    // its own, started at seed, not from the program's: a board beside others
    // computes exactly what it would compute alone from that seed.
    void UseOwnSequence(uint32_t seed);

    // The timer id of the animation's ticks.
    static constexpr UINT_PTR kTickTimerId = 1;

protected:
    bool HandleMessage(Message& m) override;
    void OnFinalMessage() override;

    SettingsReader& Settings() { return settings_; }

private:
    // The board of a client rectangle already in hand.
    Rect BoardOf(const RECT& client) const;
    LRESULT OnCreate(Message& m);
    bool OnTick(Message& m);
    void OnPaint();
    void OnDpiChanged(UINT dpi);
    void OnPowerSettingChange(const POWERBROADCAST_SETTING* setting);
    bool CanBeSeen() const;
    // Stops or restarts the timer as the view stops or starts being seen.
    void FollowVisibility();

    bool autoDelete_;
    SettingsReader& settings_;
    World world_;
    bool ownSequence_ = false;
    uint32_t sequence_ = 0;
    UINT tickPeriod_ = 0;  // milliseconds
    double scale_ = 1.0;
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
    GdiFrames frames_;
};
