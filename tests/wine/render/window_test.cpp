// The animation timer, the view's ticks, the input rules of full screen, the display going off and the covering of a
// second monitor.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <process.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/saver_app.h"
#include "app/saver_window.h"
#include "render/anim_timer.h"
#include "render/saver_view.h"
#include "render_support.h"
#include "sim/random.h"
#include "sim/scene.h"
#include "winhelp.h"

namespace {

// The 1 ms timer resolution requests that the saver's code has not given back, counted on their way to winmm:
// each running worker holds one.
LONG resolutionRequests = 0;
using PeriodCall = MMRESULT(WINAPI*)(UINT);
PeriodCall realBegin, realEnd;
MMRESULT WINAPI CountBegin(UINT ms)
{
    if (ms == 1) InterlockedIncrement(&resolutionRequests);
    return realBegin(ms);
}
MMRESULT WINAPI CountEnd(UINT ms)
{
    if (ms == 1) InterlockedDecrement(&resolutionRequests);
    return realEnd(ms);
}
const bool counting = (realBegin = rt::ReplaceImport("winmm.dll", "timeBeginPeriod", &CountBegin),
                       realEnd = rt::ReplaceImport("winmm.dll", "timeEndPeriod", &CountEnd), true);

uintptr_t __cdecl NoThread(void*, unsigned, _beginthreadex_proc_type, void*, unsigned, unsigned*) { return 0; }
HDC WINAPI NoDC(HWND) { return nullptr; }

std::vector<WPARAM> ticks;  // ids of the ticks received
bool allSent = true;        // from another thread, with lParam 0

LRESULT CALLBACK TickProc(HWND w, UINT id, WPARAM wp, LPARAM lp)
{
    if (id != WM_TIMER) return DefWindowProcA(w, id, wp, lp);
    ticks.push_back(wp);
    allSent = allSent && InSendMessage() && lp == 0;
    return 0;
}

TEST(AnimTimer, TicksAtItsPeriodUntilAStopEndsItsWorkerAndARestartReplacesIt)
{
    const HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(w, GWLP_WNDPROC, LONG_PTR(TickProc));
    ticks.clear();
    ASSERT_TRUE(counting && realBegin && realEnd);
    ASSERT_TRUE(SetAnimTimer(w, 1, 40, nullptr));
    EXPECT_FALSE(SetAnimTimer(w, 3, 40, nullptr)) << "one timer per window";
    EXPECT_TRUE(GetPropA(w, "PROP_ANIMTIMERDATA"));
    EXPECT_EQ(resolutionRequests, 1) << "held by the running worker";
    const DWORD start = GetTickCount();
    ASSERT_TRUE(wt::PumpUntil([] { return ticks.size() >= 11; }, 5000));
    const DWORD spent = GetTickCount() - start;  // ten periods after the first tick, which comes at once
    EXPECT_TRUE(spent >= 360 && spent <= 1200) << spent;
    ASSERT_TRUE(KillAnimTimer(w, 1));
    EXPECT_FALSE(GetPropA(w, "PROP_ANIMTIMERDATA"));
    ASSERT_EQ(resolutionRequests, 0) << "given back as the worker ended";
    EXPECT_EQ(ticks, std::vector<WPARAM>(ticks.size(), 1));
    EXPECT_TRUE(allSent);
    ASSERT_TRUE(SetAnimTimer(w, 2, 60000, nullptr));
    ASSERT_TRUE(wt::PumpUntil([] { return ticks.back() == 2; }, 3000));
    // Only the stop's signal ends a long wait in time, even for a worker that has not run yet.
    const DWORD stop = GetTickCount();
    EXPECT_TRUE(KillAnimTimer(w, 2));
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(SetAnimTimer(w, 1, 60000, nullptr) && KillAnimTimer(w, 1)) << i;
    EXPECT_LT(GetTickCount() - stop, 3000u);
    EXPECT_EQ(resolutionRequests, 0);
    const auto beginThread = rt::ReplaceImport("msvcrt.dll", "_beginthreadex", &NoThread);
    EXPECT_FALSE(SetAnimTimer(w, 1, 40, nullptr)) << "no thread";
    rt::ReplaceImport("msvcrt.dll", "_beginthreadex", beginThread);
    EXPECT_FALSE(GetPropA(w, "PROP_ANIMTIMERDATA"));
    EXPECT_EQ(resolutionRequests, 0);
    DestroyWindow(w);
}

SaverApp theApp;  // the views read their settings through it

TEST(SaverView, OnlyItsOwnTimerRunsAFrameAndANewSceneFollowsTheLastFrameOfOne)
{
    theApp.SetRegistryKey(kRegistryRoot);
    SaverView view(false, theApp);
    World& world = view.BoardWorld();
    ASSERT_TRUE(view.Create(0, WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0, nullptr));
    EXPECT_TRUE(GetPropA(view.Handle(), "PROP_ANIMTIMERDATA"));
    ASSERT_TRUE(KillAnimTimer(view.Handle(), 1));
    const struct {
        uint32_t sceneFrames, ticks, counter;
    } cases[] = {{3, 2, 2}, {3, 3, 0}, {0x80000000u, 2, 2}};
    for (const auto& c : cases) {
        world.DeleteDiscs();
        world.frameCounter = 0;
        world.scene.sceneFrames = c.sceneFrames;
        SendMessageA(view.Handle(), WM_TIMER, 2, 0);
        for (uint32_t i = 0; i < c.ticks; ++i) SendMessageA(view.Handle(), WM_TIMER, 1, 0);
        EXPECT_EQ(world.frameCounter, c.counter) << c.sceneFrames;
        EXPECT_EQ(world.balls.empty(), c.counter != 0) << "a new scene from the stored settings";
    }
    DestroyWindow(view.Handle());
}

TEST(SaverView, AFrameThatCouldNotReachTheWindowIsFollowedByAWholeOne)
{
    theApp.SetRegistryKey(kRegistryRoot);
    SaverView view(false, theApp);
    const RECT board{0, 0, 300, 200};
    ASSERT_TRUE(view.Create(0, WS_POPUP | WS_VISIBLE, board, nullptr, 0, nullptr));
    const HWND w = view.Handle();
    KillAnimTimer(w, 1);
    std::srand(1);
    view.SetUpScene(0);
    SendMessageA(w, WM_TIMER, 1, 0);
    const auto& pins = view.BoardWorld().pins;  // the lowest, far from where the balls come in
    Disc* pin = *std::max_element(pins.begin(), pins.end(), [](Disc* a, Disc* b) { return a->y < b->y; });
    rt::Canvas shot(300, 200);
    ASSERT_NE(shot.CopyOf(w).At(int(pin->x), int(pin->y)), 0u);
    pin->colour = 0;  // knocked out
    const auto getDC = rt::ReplaceImport("user32.dll", "GetDC", &NoDC);
    SendMessageA(w, WM_TIMER, 1, 0);
    rt::ReplaceImport("user32.dll", "GetDC", getDC);
    SendMessageA(w, WM_TIMER, 1, 0);
    EXPECT_EQ(shot.CopyOf(w).At(int(pin->x), int(pin->y)), 0u) << "the pin is gone";
    ASSERT_TRUE(SetAnimTimer(w, 1, 40, nullptr));
    DestroyWindow(w);
    EXPECT_EQ(resolutionRequests, 0) << "the timer ends with its window";
}

TEST(SaverView, ANewScaleStartsASceneOnABoardOfLogicalPixels)
{
    theApp.SetRegistryKey(kRegistryRoot);
    SaverView view(false, theApp);
    ASSERT_TRUE(view.Create(0, WS_POPUP | WS_VISIBLE, RECT{0, 0, 600, 400}, nullptr, 0, nullptr));
    KillAnimTimer(view.Handle(), 1);
    view.SetUpScene(0);
    view.BoardWorld().frameCounter = 5;
    RECT suggested{0, 0, 1200, 800};
    SendMessageA(view.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    const Rect board = view.Board();
    EXPECT_EQ(board.right * 1000 + board.bottom, 300200) << "half the window's pixels";
    EXPECT_EQ(view.BoardWorld().frameCounter, 0u) << "a new scene";
    DestroyWindow(view.Handle());
}

// As the system tells a window that registered for the console display's state: 0 off, 1 on, 2 dimmed.
void SendDisplayState(HWND w, DWORD state)
{
    struct {
        GUID setting;
        DWORD length, state;
    } change = {{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, sizeof state, state};
    SendMessageA(w, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&change));
}

TEST(SaverWindow, StandsStillWhileTheDisplayIsOffAndRepaintsAllWhenItComesBack)
{
    auto* saver = new SaverWindow(theApp);
    ASSERT_TRUE(saver->CreateFullScreen(1));
    const HWND w = saver->Handle();
    RECT client;
    GetClientRect(w, &client);
    saver->SetUpScenes();
    wt::PumpUntil([] { return false; }, 300);  // the first paints
    const World& world = saver->BoardWorld();
    SendDisplayState(w, 0);
    const uint32_t frame = world.frameCounter;
    HDC dc = GetDC(w);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(w, dc);
    SendMessageA(w, WM_TIMER, 1, 0);
    wt::PumpUntil([] { return false; }, 300);
    const size_t pixels = size_t(client.right) * client.bottom;
    rt::Canvas shot(client.right, client.bottom);
    auto white = [&] {
        const auto* bits = static_cast<const uint32_t*>(shot.CopyOf(w).bits);
        return size_t(std::count(bits, bits + pixels, 0xFFFFFFu));
    };
    EXPECT_EQ(world.frameCounter, frame);
    EXPECT_EQ(white(), pixels) << "nothing drawn while the display is off";
    EXPECT_EQ(resolutionRequests, 0);
    SendDisplayState(w, 2);
    ASSERT_TRUE(wt::PumpUntil([&] { return world.frameCounter != frame; }, 3000)) << "dimmed is seen";
    EXPECT_EQ(white(), 0u) << "the first frame repaints everything";
    DestroyWindow(w);
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// Sent to a fresh full-screen saver after a first mouse move to (10, 10).
const struct {
    const char* name;
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    bool ends;
} kInputs[] = {
    {"only the first move", WM_NULL, 0, 0, false}, {"back at the first place", WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), false},
    {"one pixel right", WM_MOUSEMOVE, 0, MAKELPARAM(11, 10), true}, {"one pixel up", WM_MOUSEMOVE, 0, MAKELPARAM(10, 9), true},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, 0, true}, {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, 0, true},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON, 0, true}, {"left button up", WM_LBUTTONUP, 0, 0, false},
    {"key", WM_KEYDOWN, 'A', 1, true}, {"system key", WM_SYSKEYDOWN, VK_MENU, 0x20000001, true},
    {"key up", WM_KEYUP, 'A', LPARAM(0xC0000001u), false}, {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0, false},
    {"deactivated", WM_ACTIVATE, WA_INACTIVE, 0, true}, {"activated", WM_ACTIVATE, WA_ACTIVE, 0, false},
    {"application deactivated", WM_ACTIVATEAPP, 0, 0, true}, {"application activated", WM_ACTIVATEAPP, 1, 0, false},
    {"screensaver command", WM_SYSCOMMAND, SC_SCREENSAVE, 0, false}, {"close command", WM_SYSCOMMAND, SC_CLOSE, 0, false},
};

TEST(SaverWindow, EndsOnInputThatEndsAndOnNothingElse)
{
    for (const auto& c : kInputs) {
        auto* saver = new SaverWindow(theApp);  // deletes itself
        ASSERT_TRUE(saver->CreateFullScreen(1));
        const HWND w = saver->Handle();
        MSG msg;
        SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        SendMessageA(w, c.id, c.wParam, c.lParam);
        EXPECT_EQ(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE, c.ends) << c.name;
        DestroyWindow(w);
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
}

// The monitors of a row: the secondary listed first (the system's order need not put the primary first).
RECT secondary;
std::vector<MonitorArea> TwoMonitors() { return {{secondary, false}, {RECT{0, 0, 1024, 768}, true}}; }

std::vector<std::pair<double, double>> PinsOf(const World& world)
{
    std::vector<std::pair<double, double>> pins;
    for (const Disc* pin : world.pins) pins.emplace_back(pin->x, pin->y);
    return pins;
}

// As one board of that size lays its pins out alone, from that seed, with the runtime's generator.
std::vector<std::pair<double, double>> PinsAlone(uint32_t seed, const Rect& board)
{
    World world;
    RandomScope sequence(&seed);
    SetUpScene(world, board, 0, theApp);
    return PinsOf(world);
}

TEST(SaverWindow, CoversEveryOtherMonitorExactlyWithABlackWindowOrABoardOfItsOwnAndAnyOfThemEndsAll)
{
    const struct {
        const char* name;
        DWORD monitors;
        RECT secondary;
    } rows[] = {{"black", 0, {0, 0, 400, 300}}, {"board", 1, {0, 0, 400, 300}},
                {"board left of and above the primary", 1, {-400, -300, 0, 0}}};
    const std::string key = std::string("Software\\") + kRegistryRoot + "\\wt_render\\Settings";
    theApp.SetRegistryKey(kRegistryRoot);
    for (const auto& row : rows) {
        wt::RegWriteDword(HKEY_CURRENT_USER, key.c_str(), "Monitors", row.monitors);
        secondary = row.secondary;
        const uint32_t seed = 1234;
        std::srand(seed);
        auto* saver = new SaverWindow(theApp);
        SetMonitorSource(TwoMonitors);
        ASSERT_TRUE(saver->CreateFullScreen(seed)) << row.name;
        EXPECT_EQ(BoardMonitors(row.monitors).size(), row.monitors + 1u) << row.name << ": the options dialog's check";
        SetMonitorSource(nullptr);
        saver->SetUpScenes();
        const HWND w = saver->Handle(), other = FindWindowExA(nullptr, w, InvisiblePointerClass(), nullptr);
        RECT r;
        EXPECT_TRUE(GetWindowRect(other, &r) && EqualRect(&r, &row.secondary)) << row.name;
        EXPECT_EQ(GetActiveWindow(), w) << row.name << ": the saver window comes last";
        const int width = r.right - r.left, height = r.bottom - r.top;
        // Shown where the test can see it, over a white window.
        SetWindowPos(w, nullptr, 500, 400, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(other, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        HDC dc = GetDC(other);
        const RECT client{0, 0, width, height};
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(other, dc);
        RedrawWindow(other, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        rt::Canvas shot(width, height);
        const auto* bits = static_cast<const uint32_t*>(shot.CopyOf(other).bits);
        const size_t pixels = size_t(width) * height, black = size_t(std::count(bits, bits + pixels, 0u));
        const bool board = black > pixels / 2 && black < pixels;
        EXPECT_TRUE(row.monitors ? board : black == pixels) << row.name << ": " << black << " black pixels";
        if (board && row.monitors) {
            EXPECT_EQ(PinsOf(saver->BoardWorld()), PinsAlone(seed, Rect{0, 0, 1024, 768})) << row.name << ": the primary";
            auto* view = static_cast<SaverView*>(reinterpret_cast<Window*>(GetWindowLongPtrA(other, GWLP_USERDATA)));
            EXPECT_EQ(PinsOf(view->BoardWorld()), PinsAlone(seed + 0x9E3779B9u, Rect{0, 0, width, height})) << row.name;
        }
        MSG msg;
        SendMessageA(other, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
        EXPECT_FALSE(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << row.name << ": the first move is only remembered";
        SendMessageA(other, WM_MOUSEMOVE, 0, MAKELPARAM(300, 201));
        ASSERT_TRUE(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << row.name;
        DispatchMessageA(&msg);
        EXPECT_FALSE(IsWindow(w) || IsWindow(other)) << row.name;
        EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 0) << row.name << ": the loop ends";
    }
    wt::RegRemoveTree(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
