// The animation timer against a plain window: what arrives, at what pace, and what a stop leaves behind.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "render/anim_timer.h"
#include "winhelp.h"

namespace {

std::vector<WPARAM> ticks;  // ids of the ticks received
bool allSent = true;        // from another thread, with lParam 0

LRESULT CALLBACK TickProc(HWND w, UINT id, WPARAM wp, LPARAM lp)
{
    if (id != WM_TIMER) return DefWindowProcA(w, id, wp, lp);
    ticks.push_back(wp);
    allSent = allSent && InSendMessage() && lp == 0;
    return 0;
}

int ThreadCount()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te = {};
    te.dwSize = sizeof te;
    int count = 0;
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        count += te.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snap);
    return count;
}

TEST(AnimTimer, TicksAtItsPeriodUntilAStopEndsItsWorkerAndARestartReplacesIt)
{
    const HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(w, GWLP_WNDPROC, LONG_PTR(TickProc));
    const int threads = ThreadCount();
    ticks.clear();
    ASSERT_TRUE(SetAnimTimer(w, 1, 40, nullptr));
    EXPECT_TRUE(GetPropA(w, "PROP_ANIMTIMERDATA"));
    EXPECT_EQ(ThreadCount(), threads + 1);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(wt::PumpUntil([] { return ticks.size() >= 11; }, 5000));
    const DWORD spent = GetTickCount() - start;  // ten periods after the first tick, which comes at once
    EXPECT_TRUE(spent >= 360 && spent <= 1200) << spent;
    ASSERT_TRUE(KillAnimTimer(w, 1));
    EXPECT_FALSE(GetPropA(w, "PROP_ANIMTIMERDATA"));
    ASSERT_EQ(ThreadCount(), threads) << "the worker still runs";
    EXPECT_EQ(ticks, std::vector<WPARAM>(ticks.size(), 1));
    EXPECT_TRUE(allSent);
    // A long period: only the stop's signal ends the worker's wait in time.
    ASSERT_TRUE(SetAnimTimer(w, 2, 60000, nullptr));
    ASSERT_TRUE(wt::PumpUntil([] { return ticks.back() == 2; }, 3000));
    const DWORD stop = GetTickCount();
    EXPECT_TRUE(KillAnimTimer(w, 2));
    EXPECT_LT(GetTickCount() - stop, 1000u);
    // A stop right after the start finds a worker that may not have run yet.
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(SetAnimTimer(w, 1, 1000, nullptr) && KillAnimTimer(w, 1)) << i;
    EXPECT_EQ(ThreadCount(), threads);
    DestroyWindow(w);
}

}  // namespace
