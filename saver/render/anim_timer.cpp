#include "render/anim_timer.h"

#include <mmsystem.h>
#include <process.h>

namespace {

constexpr unsigned kWorkerStackBytes = 4096;
// Since Windows 10 version 2004 a process that does not ask for a finer timer
// resolution waits in steps of the default one, typically 15.6 ms: a 19 ms
// period would become 31. The worker asks for 1 ms while it runs.
constexpr UINT kResolutionMs = 1;

// One running timer. The worker and the window's property each hold a
// reference; whichever lets go last frees the record, so a worker that is
// still busy when KillAnimTimer gives up waiting never touches freed memory.
struct AnimTimerData {
    HWND window = nullptr;
    UINT_PTR timerId = 0;
    CRITICAL_SECTION lock;  // guards running, nothing else
    LONG running = 0;
    HANDLE stopEvent = nullptr;  // ends a wait between ticks early
    unsigned threadId = 0;
    HANDLE threadHandle = nullptr;
    DWORD period = 0;

    LONG references = 0;
    // Set by the worker once its message queue exists; until then a quit
    // request posted to it would be lost.
    HANDLE queueReady = nullptr;
};

void AttachTimerData(HWND window, AnimTimerData* data) { SetPropA(window, kAnimTimerProp, data); }

void DetachTimerData(HWND window) { RemovePropA(window, kAnimTimerProp); }

AnimTimerData* TimerDataOf(HWND window) { return static_cast<AnimTimerData*>(GetPropA(window, kAnimTimerProp)); }

void FreeTimerData(AnimTimerData* data)
{
    if (data->stopEvent) CloseHandle(data->stopEvent);
    if (data->threadHandle) CloseHandle(data->threadHandle);
    DeleteCriticalSection(&data->lock);
    delete data;
}

void ReleaseTimerData(AnimTimerData* data)
{
    if (InterlockedDecrement(&data->references) == 0) FreeTimerData(data);
}

bool IsRunning(AnimTimerData* data)
{
    EnterCriticalSection(&data->lock);
    const bool running = data->running != 0;
    LeaveCriticalSection(&data->lock);
    return running;
}

unsigned __stdcall AnimTimerThreadProc(void* argument)
{
    auto* data = static_cast<AnimTimerData*>(argument);
    const HWND window = data->window;
    const DWORD period = data->period;
    const UINT_PTR timerId = data->timerId;

    // Asked for before SetAnimTimer returns, and given back on the way out,
    // however the timer ends: each running worker holds one request.
    timeBeginPeriod(kResolutionMs);
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    SetEvent(data->queueReady);

    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0xFFFF, PM_REMOVE) && msg.message == WM_QUIT) break;
        if (!IsRunning(data)) continue;  // stopping: the quit request is on its way

        // Milliseconds that wrap after 2^32 like GetTickCount's, but refined
        // by the 1 ms request. GetTickCount moves in 15.6 ms steps on current
        // Windows whatever is asked: a frame measured with it takes 0 or 16 ms,
        // a 19 ms period comes out as ticks 8 and 25 ms apart, and periods
        // under 16 ms run slow.
        const DWORD start = timeGetTime();
        SendMessageA(window, WM_TIMER, timerId, 0);
        // Elapsed time, unsigned, stays right across the clock's wrap after
        // 49.7 days, where start + period <= now would wait about 2^32 ms.
        const DWORD elapsed = timeGetTime() - start;
        if (elapsed >= period) {
            // Overran: the next tick follows at once, missed ones are not made up.
            Sleep(0);
            continue;
        }
        if (WaitForSingleObject(data->stopEvent, period - elapsed) == WAIT_OBJECT_0) ResetEvent(data->stopEvent);
    }

    // A stop that gave up waiting has already taken the property away, and a
    // new timer may have put its own there since: remove only our own.
    if (TimerDataOf(window) == data) DetachTimerData(window);
    ReleaseTimerData(data);
    timeEndPeriod(kResolutionMs);
    _endthreadex(0);
    return 0;
}

// Waits for the worker to end while still handling the ticks it sends: a
// worker that read running just before the stop may start one more send
// after the peek above, and would otherwise block on us until the timeout.
bool WaitForWorker(HANDLE thread, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles sent messages only
    }
}

}  // namespace

BOOL SetAnimTimer(HWND window, UINT_PTR timerId, UINT periodMs)
{
    if (!window) return FALSE;
    if (TimerDataOf(window)) return FALSE;

    auto* data = new AnimTimerData;
    AttachTimerData(window, data);

    InitializeCriticalSection(&data->lock);
    data->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    data->queueReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!data->stopEvent || !data->queueReady) {
        if (data->queueReady) CloseHandle(data->queueReady);
        FreeTimerData(data);
        DetachTimerData(window);
        return FALSE;
    }

    data->window = window;
    data->timerId = timerId;
    data->running = 1;
    data->period = periodMs;
    data->references = 2;  // the worker's and the property's

    const uintptr_t thread =
        _beginthreadex(nullptr, kWorkerStackBytes, AnimTimerThreadProc, data, 0, &data->threadId);
    if (!thread) {
        CloseHandle(data->queueReady);
        FreeTimerData(data);
        DetachTimerData(window);
        return FALSE;
    }
    data->threadHandle = reinterpret_cast<HANDLE>(thread);
    SetThreadPriority(data->threadHandle, GetThreadPriority(GetCurrentThread()) - 1);

    // The worker sends nothing before its queue exists, so this cannot wait on us.
    const HANDLE started[] = {data->queueReady, data->threadHandle};
    WaitForMultipleObjects(2, started, FALSE, INFINITE);
    CloseHandle(data->queueReady);
    data->queueReady = nullptr;
    return TRUE;
}

BOOL KillAnimTimer(HWND window, UINT_PTR timerId)
{
    if (!window) return FALSE;
    AnimTimerData* data = TimerDataOf(window);
    if (!data) return TRUE;
    if (data->timerId != timerId) return FALSE;

    EnterCriticalSection(&data->lock);
    data->running = 0;
    LeaveCriticalSection(&data->lock);
    PostThreadMessageA(data->threadId, WM_QUIT, 0, 0);
    SetEvent(data->stopEvent);

    // Also delivers a tick that the worker is sending right now, so that it
    // can return and find the quit request.
    MSG msg;
    PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE);

    if (!WaitForWorker(data->threadHandle, 2000)) {
        // The worker is still busy and will free the record itself; the window
        // lets go of it now, so that a new timer can start.
        if (TimerDataOf(window) == data) DetachTimerData(window);
    }
    ReleaseTimerData(data);
    return TRUE;
}
