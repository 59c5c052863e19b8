// The animation timer: a worker thread that sends WM_TIMER to a window once
// per period, in place of a system timer.
//
// Ticks are sent, not posted, so at most one is outstanding and a frame never
// overlaps the next; the period runs from the start of one tick to the start
// of the next, and a tick that overran its period is followed by the next one
// at once, without making up for the ones it missed. The worker runs one
// priority level below the thread that starts it, and holds the process's
// timer resolution at 1 ms while it runs, so that its waits end on the
// millisecond rather than in whole steps of the system's default resolution,
// and measures its periods with the millisecond clock that this refines.
//
// A window has at most one animation timer, whatever its id; while it runs the
// window carries the property kAnimTimerProp. Both calls belong to the thread
// that owns the window.
#pragma once
#include <windows.h>

constexpr const char kAnimTimerProp[] = "PROP_ANIMTIMERDATA";

// SetTimer's arguments but the callback: ticks come only by message. False,
// changing nothing, for a null window or one that already has an animation
// timer; false too when the event or the thread cannot be made.
BOOL SetAnimTimer(HWND window, UINT_PTR timerId, UINT periodMs);

// Stops the window's animation timer and waits (at most two seconds) for its
// worker to end. True when stopped, and when the window had no timer; false
// for a null window or when the running timer has another id (it goes on).
BOOL KillAnimTimer(HWND window, UINT_PTR timerId);
