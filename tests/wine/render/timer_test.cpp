// The animation timer against a plain window of the test's own: what arrives,
// when, and what a stop leaves behind.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "render/anim_timer.h"
#include "render_support.h"

namespace {

struct Tick {
    WPARAM id;
    LPARAM lParam;
    double start, end;  // ms, around the handler
    bool sent;          // delivered by a send from another thread
    DWORD thread;
};

// A window that logs the WM_TIMER messages it gets and can run a hook in them.
class TickWindow {
public:
    TickWindow()
    {
        static ATOM atom = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "RenderTestTickWindow";
            return RegisterClassA(&wc);
        }();
        (void)atom;
        hwnd = CreateWindowExA(0, "RenderTestTickWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), this);
    }
    ~TickWindow()
    {
        if (IsWindow(hwnd)) {
            KillAnimTimer(hwnd, GetCurrentId());
            DestroyWindow(hwnd);
        }
    }
    UINT_PTR GetCurrentId() const { return ticks.empty() ? 1 : ticks.back().id; }
    size_t Count() const { return ticks.size(); }

    HWND hwnd = nullptr;
    std::vector<Tick> ticks;
    std::function<void(size_t index)> onTick;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT id, WPARAM wp, LPARAM lp)
    {
        if (id == WM_NCCREATE)
            SetWindowLongPtrA(w, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<TickWindow*>(GetWindowLongPtrA(w, GWLP_USERDATA));
        if (id == WM_TIMER && self) {
            Tick t{wp, lp, rt::NowMs(), 0, InSendMessage() != FALSE, GetCurrentThreadId()};
            const size_t index = self->ticks.size();
            self->ticks.push_back(t);
            if (self->onTick) self->onTick(index);
            self->ticks[index].end = rt::NowMs();
            return 0;
        }
        return DefWindowProcA(w, id, wp, lp);
    }
};

bool HasProperty(HWND w) { return GetPropA(w, "PROP_ANIMTIMERDATA") != nullptr; }

void CALLBACK SomeTimerProc(HWND, UINT, UINT_PTR, DWORD) {}

}  // namespace

TEST(AnimTimer, SendsTicksWithItsIdAtThePeriodOnTheWindowsThread)
{
    TickWindow win;
    const DWORD period = 40;
    ASSERT_TRUE(SetAnimTimer(win.hwnd, 7, period, nullptr));
    EXPECT_TRUE(HasProperty(win.hwnd));
    ASSERT_TRUE(rt::PumpUntil([&] { return win.Count() >= 12; }, 5000));
    ASSERT_TRUE(KillAnimTimer(win.hwnd, 7));

    for (const Tick& t : win.ticks) {
        EXPECT_EQ(t.id, 7u);
        EXPECT_EQ(t.lParam, 0);
        EXPECT_TRUE(t.sent) << "ticks are sent, not posted";
        EXPECT_EQ(t.thread, GetCurrentThreadId());
    }
    // Never faster than the period (the tick counter's granularity aside);
    // the upper bound only catches a grossly wrong pace.
    const double mean = (win.ticks.back().start - win.ticks.front().start) / double(win.Count() - 1);
    EXPECT_GE(mean, period - 5.0);
    EXPECT_LE(mean, period * 3.0);
}

TEST(AnimTimer, AfterAnOverrunTheNextTickComesAtOnceAndMissedOnesAreNotMadeUp)
{
    TickWindow win;
    const DWORD period = 200;
    const size_t slow = 3;
    win.onTick = [&](size_t index) {
        if (index == slow) Sleep(3 * period + 50);
    };
    ASSERT_TRUE(SetAnimTimer(win.hwnd, 1, period, nullptr));
    ASSERT_TRUE(rt::PumpUntil([&] { return win.Count() >= slow + 4; }, 8000));
    ASSERT_TRUE(KillAnimTimer(win.hwnd, 1));

    const auto& t = win.ticks;
    EXPECT_LT(t[slow + 1].start - t[slow].end, period * 0.75) << "the tick after an overrun follows at once";
    // Three periods were missed: none of them is made up by quick ticks.
    for (size_t i = slow + 2; i < t.size(); ++i)
        EXPECT_GE(t[i].start - t[i - 1].start, period * 0.5) << "tick " << i << " came early";
    // One tick per handler run: nothing doubled while the handler was busy.
    for (size_t i = 1; i < t.size(); ++i) EXPECT_GE(t[i].start, t[i - 1].end);
}

TEST(AnimTimer, RefusesWhatItCannotServeAndLeavesTheRunningTimerAlone)
{
    TickWindow win;
    EXPECT_FALSE(SetAnimTimer(win.hwnd, 1, 20, SomeTimerProc));
    EXPECT_FALSE(HasProperty(win.hwnd));
    EXPECT_FALSE(SetAnimTimer(nullptr, 1, 20, nullptr));
    EXPECT_FALSE(KillAnimTimer(nullptr, 1));
    EXPECT_TRUE(KillAnimTimer(win.hwnd, 1)) << "no timer: nothing to do";

    ASSERT_TRUE(SetAnimTimer(win.hwnd, 5, 20, nullptr));
    for (UINT_PTR id : {UINT_PTR(5), UINT_PTR(6)}) EXPECT_FALSE(SetAnimTimer(win.hwnd, id, 20, nullptr)) << id;
    EXPECT_FALSE(KillAnimTimer(win.hwnd, 4));
    EXPECT_TRUE(HasProperty(win.hwnd));
    // The first timer goes on, untouched.
    ASSERT_TRUE(rt::PumpUntil([&] { return win.Count() >= 3; }, 3000));
    for (const Tick& t : win.ticks) EXPECT_EQ(t.id, 5u);
    EXPECT_TRUE(KillAnimTimer(win.hwnd, 5));
}

TEST(AnimTimer, StopDuringALongPeriodReturnsAtOnce)
{
    TickWindow win;
    ASSERT_TRUE(SetAnimTimer(win.hwnd, 1, 60000, nullptr));
    ASSERT_TRUE(rt::PumpUntil([&] { return win.Count() >= 1; }, 3000));
    const double start = rt::NowMs();
    EXPECT_TRUE(KillAnimTimer(win.hwnd, 1));
    EXPECT_LT(rt::NowMs() - start, 1000.0);
    EXPECT_EQ(win.Count(), 1u);
}

TEST(AnimTimer, StopHandlesATickThatIsBeingSent)
{
    // The window's thread is busy while the worker starts its next send; the
    // stop must deliver that tick rather than wait for the worker in vain.
    TickWindow win;
    ASSERT_TRUE(SetAnimTimer(win.hwnd, 1, 30, nullptr));
    ASSERT_TRUE(rt::PumpUntil([&] { return win.Count() >= 1; }, 3000));
    Sleep(200);  // not pumping: the next tick waits in its send
    const size_t before = win.Count();
    const double start = rt::NowMs();
    EXPECT_TRUE(KillAnimTimer(win.hwnd, 1));
    EXPECT_LT(rt::NowMs() - start, 1000.0);
    EXPECT_EQ(win.Count(), before + 1) << "the pending tick is handled inside the stop";
    rt::PumpFor(100);
    EXPECT_EQ(win.Count(), before + 1) << "and none after it";
}

TEST(AnimTimer, AfterAStopThePropertyAndTheWorkerAreGoneAndANewStartWorks)
{
    TickWindow win;
    const int threads = rt::ThreadCount();
    ASSERT_TRUE(SetAnimTimer(win.hwnd, 1, 10, nullptr));
    EXPECT_EQ(rt::ThreadCount(), threads + 1);
    ASSERT_TRUE(rt::PumpUntil([&] { return win.Count() >= 2; }, 3000));
    ASSERT_TRUE(KillAnimTimer(win.hwnd, 1));
    EXPECT_FALSE(HasProperty(win.hwnd));
    EXPECT_EQ(rt::ThreadCount(), threads);

    const size_t before = win.Count();
    ASSERT_TRUE(SetAnimTimer(win.hwnd, 2, 10, nullptr));
    ASSERT_TRUE(rt::PumpUntil([&] { return win.Count() >= before + 2; }, 3000));
    EXPECT_EQ(win.ticks.back().id, 2u);
    EXPECT_TRUE(KillAnimTimer(win.hwnd, 2));
}

TEST(AnimTimer, AStopRightAfterTheStartIsNeverLost)
{
    // The worker may not have run at all yet when the stop comes; a quit
    // request posted before its queue exists would be lost and the stop
    // would hang for its full two seconds.
    TickWindow win;
    const int threads = rt::ThreadCount();
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(SetAnimTimer(win.hwnd, 1, 1000, nullptr)) << i;
        const double start = rt::NowMs();
        ASSERT_TRUE(KillAnimTimer(win.hwnd, 1)) << i;
        ASSERT_LT(rt::NowMs() - start, 1500.0) << "cycle " << i;
        ASSERT_FALSE(HasProperty(win.hwnd)) << i;
    }
    EXPECT_EQ(rt::ThreadCount(), threads);
}

TEST(AnimTimer, AThousandStartsAndStopsLeakNothing)
{
    TickWindow win;
    // One cycle first, so that lazily made runtime state is not counted.
    ASSERT_TRUE(SetAnimTimer(win.hwnd, 1, 5, nullptr));
    ASSERT_TRUE(KillAnimTimer(win.hwnd, 1));
    const int threads = rt::ThreadCount();
    const long blocks = rt::HeapBlockCount();
    const long handles = rt::HandleCount();

    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(SetAnimTimer(win.hwnd, 1, 5, nullptr)) << i;
        if (i % 100 == 0) rt::PumpUntil([&] { return false; }, 12);  // let some ticks through
        ASSERT_TRUE(KillAnimTimer(win.hwnd, 1)) << i;
    }
    EXPECT_EQ(rt::ThreadCount(), threads);
    EXPECT_LT(rt::HeapBlockCount() - blocks, 100) << "a record or its lock per cycle would show as 1000";
    if (handles >= 0) {
        EXPECT_LT(rt::HandleCount() - handles, 20) << "an event or a thread handle per cycle";
    }
}

namespace {

// The owner of a window on a thread of its own, which stops answering for a
// while once told to.
struct DeafOwner {
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE goDeaf = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND hwnd = nullptr;
    volatile LONG ticks = 0;
    volatile LONG lastId = 0;
    volatile LONG quit = 0;
    ~DeafOwner()
    {
        CloseHandle(created);
        CloseHandle(goDeaf);
    }

    static DWORD WINAPI Run(void* p)
    {
        auto* o = static_cast<DeafOwner*>(p);
        TickWindow win;
        win.onTick = [&](size_t index) {
            InterlockedExchange(&o->lastId, LONG(win.ticks[index].id));
            InterlockedIncrement(&o->ticks);
        };
        o->hwnd = win.hwnd;
        SetEvent(o->created);
        WaitForSingleObject(o->goDeaf, INFINITE);
        Sleep(3000);
        while (!o->quit) rt::PumpFor(20);
        KillAnimTimer(win.hwnd, 2);
        return 0;
    }
};

}  // namespace

TEST(AnimTimer, AWorkerStillSendingAfterTheStopGaveUpDoesNoHarm)
{
    // The window's thread does not answer for three seconds: the stop gives
    // up after two and must leave the window free for a new timer, which the
    // old worker, ending later, must not disturb.
    DeafOwner owner;
    HANDLE thread = CreateThread(nullptr, 0, DeafOwner::Run, &owner, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(owner.created, 5000);
    ASSERT_TRUE(IsWindow(owner.hwnd));

    const int threads = rt::ThreadCount();
    ASSERT_TRUE(SetAnimTimer(owner.hwnd, 1, 10, nullptr));
    SetEvent(owner.goDeaf);
    Sleep(100);  // the worker is now stuck in its send
    const double start = rt::NowMs();
    EXPECT_TRUE(KillAnimTimer(owner.hwnd, 1));
    EXPECT_GE(rt::NowMs() - start, 1900.0);
    EXPECT_FALSE(HasProperty(owner.hwnd)) << "the window is free again";
    EXPECT_EQ(rt::ThreadCount(), threads + 1) << "the old worker still runs";

    ASSERT_TRUE(SetAnimTimer(owner.hwnd, 2, 10, nullptr));
    // The owner wakes, the old worker's tick is handled and it ends; the new
    // timer keeps its property and goes on ticking.
    EXPECT_TRUE(rt::PumpUntil([&] { return rt::ThreadCount() == threads + 1 && owner.ticks >= 5; }, 8000));
    EXPECT_TRUE(HasProperty(owner.hwnd));
    const LONG count = owner.ticks;
    EXPECT_TRUE(rt::PumpUntil([&] { return owner.ticks >= count + 3; }, 3000));
    EXPECT_EQ(owner.lastId, 2);

    owner.quit = 1;
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(rt::ThreadCount(), threads - 1) << "only the owner's thread is gone";
}
