#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <process.h>

#include "app/saver_app.h"
#include "app/saver_window.h"
#include "display_scales.h"
#include "raster.h"
#include "render/anim_timer.h"
#include "sim/random.h"
#include "sim/scene.h"
#include "winhelp.h"

namespace {

// A bitmap of the test's own, selected into a memory context: pixels 0x00RRGGBB, top row first.
struct Target {
    Target(int width, int height) : size(size_t(width) * size_t(height)), dc(CreateCompatibleDC(nullptr))
    {
        const BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        kept = SelectObject(dc, CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels = static_cast<uint32_t*>(bits);
    }
    ~Target() { DeleteObject(SelectObject(dc, kept)), DeleteDC(dc); }
    std::vector<uint32_t> Pixels() const { return GdiFlush(), std::vector<uint32_t>(pixels, pixels + size); }

    const size_t size;
    const HDC dc;
    HGDIOBJ kept;
    uint32_t* pixels;
};

TEST(GdiPen, DrawsAsTheRasteriserDoes)
{
    Target target(100, 100), buffer(100, 100);
    GdiPen pen(target.dc, buffer.dc);
    raster::CheckPen(pen, [&] { return target.Pixels(); });
}

// At every display scale, the first frames of each frame case.
TEST(GdiPen, ShowsThroughItsBufferWhatEveryDiscDrawnAfreshEveryFrameShowsAtEveryScale)
{
    for (const raster::FrameCase& c : raster::kFrameCases) {
        Target composed(c.width, c.height), afresh(c.width, c.height);
        const RECT client{0, 0, c.width, c.height};
        for (const DisplayScale& s : kDisplayScales) {
            BackBuffer buffer;
            bool made;
            GdiPen pen(composed.dc, buffer.For(composed.dc, client, &made), s.scale), fresh(afresh.dc, nullptr, s.scale);
            ASSERT_TRUE(pen.Buffered() && fresh.Begin());
            Composition composition(CompositionRules{false, true});
            raster::CheckComposedFrames(
                c, s.scale, fresh, [&](World& world, const Rect& board, bool whole) { composition.Compose(world, pen, board, whole); },
                [&] { FillRect(composed.dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); },
                [&] { return composed.Pixels() == afresh.Pixels(); }, 20);
            fresh.End();
            if (HasFatalFailure()) return;
        }
    }
}

HBITMAP WINAPI NoBitmap(HDC, int, int) { return nullptr; }

// Without a bitmap for the buffer, frames go straight onto the target: after them it shows what the pins and the
// ball drawn once over black show, with nothing of the ball left behind.
TEST(GdiPen, DrawsStraightOntoTheTargetWhenNoBufferCanBeMade)
{
    MapSettings settings({{"NumBalls", 1}, {"BallSize", 10}, {"NumPins", 20}, {"PinSize", 8}, {"Sparks", 0}});
    uint32_t seed = 1;
    RandomScope sequence(&seed);
    World world;
    const Rect board{0, 0, 200, 150};
    SetUpScene(world, board, 0, settings);
    Target target(200, 150), afresh(200, 150);
    const auto createBitmap = wt::ReplaceImport("gdi32.dll", "CreateCompatibleBitmap", &NoBitmap);
    BackBuffer buffer;
    bool made;
    GdiPen pen(target.dc, buffer.For(target.dc, RECT{0, 0, 200, 150}, &made)), fresh(afresh.dc, nullptr);
    wt::ReplaceImport("gdi32.dll", "CreateCompatibleBitmap", createBitmap);
    ASSERT_TRUE(!pen.Buffered() && fresh.Begin());
    Composition composition(CompositionRules{false, true});
    for (int i = 0; i < 40; ++i) StepWorld(world, board), composition.Compose(world, pen, board, false);
    for (Disc* pin : world.pins) Draw(*pin, fresh, FramePen::Surface::kTarget);
    Draw(*world.balls[0], fresh, FramePen::Surface::kTarget);
    fresh.End();
    EXPECT_TRUE(target.Pixels() == afresh.Pixels());
}

// The 1 ms timer resolution requests that the saver's code has not given back, counted on their way to winmm:
// each running worker holds one.
LONG resolutionRequests = 0;
decltype(&timeBeginPeriod) realBegin, realEnd;
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
const bool counting = (realBegin = wt::ReplaceImport("winmm.dll", "timeBeginPeriod", &CountBegin),
                       realEnd = wt::ReplaceImport("winmm.dll", "timeEndPeriod", &CountEnd), true);

uintptr_t __cdecl NoThread(void*, unsigned, _beginthreadex_proc_type, void*, unsigned, unsigned*) { return 0; }

// Windows 10 and 11 as the worker sees them, on a clock in microseconds that moves only while the worker waits or a
// frame is drawn: GetTickCount moves in 15.625 ms steps whatever is asked; timeGetTime in 1 ms steps while 1 ms is
// requested, in 15.625 ms steps otherwise; a wait ends at the first step at or after its time. The test's thread
// keeps the real functions.
namespace windows10 {
constexpr uint64_t kDefaultStep = 15625;
uint64_t now, frame;  // the time now, and what a frame takes (a few tenths of the period)
DWORD testThread;
decltype(&GetTickCount) realTickCount;
decltype(&WaitForSingleObject) realWait;
uint64_t Step() { return resolutionRequests > 0 ? 1000 : kDefaultStep; }
DWORD Ms(uint64_t step) { return DWORD(now / step * step / 1000); }
DWORD WINAPI TickCount() { return GetCurrentThreadId() == testThread ? realTickCount() : Ms(kDefaultStep); }
DWORD WINAPI TimeGetTime() { return Ms(Step()); }
DWORD WINAPI Wait(HANDLE h, DWORD ms)
{
    if (GetCurrentThreadId() == testThread || ms == INFINITE || realWait(h, 0) == WAIT_OBJECT_0) return realWait(h, ms);
    now = (now + ms * 1000ull + Step() - 1) / Step() * Step();
    return WAIT_TIMEOUT;
}
}  // namespace windows10

std::vector<WPARAM> ticks;     // ids of the ticks received
std::vector<uint64_t> tickAt;  // on the modelled clock
bool allSent = true;           // from another thread, with lParam 0

LRESULT CALLBACK TickProc(HWND w, UINT id, WPARAM wp, LPARAM lp)
{
    if (id != WM_TIMER) return DefWindowProcA(w, id, wp, lp);
    ticks.push_back(wp);
    tickAt.push_back(windows10::now);
    windows10::now += windows10::frame;
    allSent = allSent && InSendMessage() && lp == 0;
    return 0;
}

TEST(AnimTimer, TicksUntilAStopEndsItsWorkerAndKeepsAnEvenPaceOnTheClocksOfCurrentWindows)
{
    const HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(w, GWLP_WNDPROC, LONG_PTR(TickProc));
    ASSERT_TRUE(counting && realBegin && realEnd);
    ASSERT_TRUE(SetAnimTimer(w, 2, 60000));
    EXPECT_FALSE(SetAnimTimer(w, 3, 40)) << "one timer per window";
    ASSERT_TRUE(wt::PumpUntil([] { return !ticks.empty(); }, 3000)) << "the first tick at once";
    EXPECT_TRUE(allSent && ticks.back() == 2);
    // Only the stop's signal ends a long wait in time, even for a worker that has not run yet.
    const DWORD stop = GetTickCount();
    EXPECT_TRUE(KillAnimTimer(w, 2));
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(SetAnimTimer(w, 1, 60000) && KillAnimTimer(w, 1)) << i;
    // A stop that waited out its worker would take 2 s each, over 100 s in all; a loaded machine takes a few.
    EXPECT_LT(GetTickCount() - stop, 20000u);
    // Refused, its record freed and gone from the window, which the timers below use again.
    const auto beginThread = wt::ReplaceImport("msvcrt.dll", "_beginthreadex", &NoThread);
    EXPECT_FALSE(SetAnimTimer(w, 1, 40)) << "no thread";
    wt::ReplaceImport("msvcrt.dll", "_beginthreadex", beginThread);

    using namespace windows10;
    testThread = GetCurrentThreadId();
    realTickCount = wt::ReplaceImport("kernel32.dll", "GetTickCount", &TickCount);
    realWait = wt::ReplaceImport("kernel32.dll", "WaitForSingleObject", &Wait);
    const auto realTime = wt::ReplaceImport("winmm.dll", "timeGetTime", &TimeGetTime);
    ASSERT_TRUE(realTickCount && realWait);
    constexpr size_t kTicks = 100;
    // Off the steps; the second 30 ms before the millisecond clocks wrap, after 49.7 days.
    for (const uint64_t start : {3600007300ull, (1ull << 32) * 1000 - 29700})
    for (const DWORD period : {4u, 10u, 19u, 128u}) {
        tickAt.clear();
        now = start;
        frame = period * 270;
        ASSERT_TRUE(SetAnimTimer(w, 1, period));
        MSG msg;
        while (tickAt.size() <= kTicks && MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_SENDMESSAGE) == 0)
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        KillAnimTimer(w, 1);
        ASSERT_GT(tickAt.size(), kTicks);
        std::vector<uint64_t> gaps;
        for (size_t i = 1; i <= kTicks; ++i) gaps.push_back(tickAt[i] - tickAt[i - 1]);
        const auto [shortest, longest] = std::minmax_element(gaps.begin(), gaps.end());
        EXPECT_LE(*longest - *shortest, 2000u) << period << " ms from " << start << ": even to the clock's and the wait's 1 ms";
        EXPECT_NEAR(double(tickAt[kTicks] - tickAt[0]) / kTicks / 1000, period, 1.0) << period << " ms from " << start << ": on time";
    }
    wt::ReplaceImport("kernel32.dll", "GetTickCount", realTickCount);
    wt::ReplaceImport("kernel32.dll", "WaitForSingleObject", realWait);
    if (realTime) wt::ReplaceImport("winmm.dll", "timeGetTime", realTime);
    DestroyWindow(w);
}

SaverApp theApp;  // the views read their settings through it

// Shcore (no known DLL) only from the system folder, and the calls of later systems as a row makes them: present
// with a window's and a monitor's scale, or missing.
std::vector<std::string> shcoreLoads;
decltype(&GetModuleHandleA) realModuleHandle;
decltype(&LoadLibraryA) realLoadLibrary;
decltype(&GetProcAddress) realProcAddress;
bool dpiForWindow, dpiForMonitor;
bool NamesShcore(LPCSTR name) { return name && std::strstr(name, "shcore"); }
// As at a start, where nothing has loaded shcore yet.
HMODULE WINAPI ModuleHandle(LPCSTR name) { return NamesShcore(name) ? nullptr : realModuleHandle(name); }
HMODULE WINAPI LoadLibraryLogged(LPCSTR name) { if (NamesShcore(name)) shcoreLoads.push_back(name); return realLoadLibrary(name); }
UINT WINAPI WindowDpi(HWND) { return 168; }
HRESULT WINAPI MonitorDpi(HMONITOR, int, UINT* x, UINT* y) { return *x = *y = 144, S_OK; }
FARPROC WINAPI LaterCalls(HMODULE module, LPCSTR name)
{
    if (HIWORD(name) && std::strcmp(name, "GetDpiForWindow") == 0) return dpiForWindow ? FARPROC(reinterpret_cast<void (*)()>(&WindowDpi)) : nullptr;
    if (HIWORD(name) && std::strcmp(name, "GetDpiForMonitor") == 0) return dpiForMonitor ? FARPROC(reinterpret_cast<void (*)()>(&MonitorDpi)) : nullptr;
    return realProcAddress(module, name);
}

TEST(WindowScale, IsTheWindowsElseItsMonitorsFromTheSystemFolderElseTheSystems)
{
    realModuleHandle = wt::ReplaceImport("kernel32.dll", "GetModuleHandleA", &ModuleHandle);
    realLoadLibrary = wt::ReplaceImport("kernel32.dll", "LoadLibraryA", &LoadLibraryLogged);
    realProcAddress = wt::ReplaceImport("kernel32.dll", "GetProcAddress", &LaterCalls);
    ASSERT_TRUE(realModuleHandle && realLoadLibrary && realProcAddress);
    char system[MAX_PATH];
    const std::string shcore = std::string(system, GetSystemDirectoryA(system, MAX_PATH)) + "\\shcore.dll";
    const HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    // Windows 10 1607 on, 8.1 to 10 1511 (one monitor at 150 % beside the system's 100 %), 7 and 8.0.
    const struct { bool window, monitor; double scale; } rows[] = {{true, true, 1.75}, {false, true, 1.5}, {false, false, 1.0}};
    for (const auto& row : rows) {
        dpiForWindow = row.window, dpiForMonitor = row.monitor;
        EXPECT_EQ(WindowScale(w), row.scale) << row.window << row.monitor;
        EXPECT_EQ(SystemMonitors().front().scale, row.monitor ? 1.5 : 1.0) << row.window << row.monitor;
    }
    wt::ReplaceImport("kernel32.dll", "GetModuleHandleA", realModuleHandle);
    wt::ReplaceImport("kernel32.dll", "LoadLibraryA", realLoadLibrary);
    wt::ReplaceImport("kernel32.dll", "GetProcAddress", realProcAddress);
    DestroyWindow(w);
    EXPECT_FALSE(shcoreLoads.empty());
    for (const std::string& load : shcoreLoads) EXPECT_EQ(lstrcmpiA(load.c_str(), shcore.c_str()), 0) << load;
}

// As the system tells a window that registered for its session's display state: 0 off, 1 on, 2 dimmed.
void SendDisplayState(HWND w, DWORD state)
{
    struct {
        GUID setting;
        DWORD length, state;
    } change = {{0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}}, sizeof state, state};
    EXPECT_EQ(SendMessageA(w, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&change)), TRUE);
}

const struct {
    const char* name;
    void (*away)(HWND view);
    void (*back)(HWND view);
} kOutOfSight[] = {
    {"session display off, then dimmed", [](HWND v) { SendDisplayState(v, 0); }, [](HWND v) { SendDisplayState(v, 2); }},
    {"host hidden", [](HWND v) { ShowWindow(GetParent(v), SW_HIDE); }, [](HWND v) { ShowWindow(GetParent(v), SW_SHOW); }},
};

TEST(SaverView, StandsStillAndLetsTheTimerGoWhileNobodyCanSeeItAndRepaintsAllWhenSeenAgain)
{
    const RECT board{0, 0, 200, 150};
    const HBRUSH unpainted = CreateSolidBrush(RGB(1, 2, 3));  // a colour that nothing draws
    // One host for all: destroying a shown top-level window takes Wine two seconds without a window manager.
    const HWND host = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                      nullptr, nullptr, nullptr);
    for (const auto& c : kOutOfSight) {
        auto* view = new SaverView(true, theApp);  // deletes itself
        const World& world = view->BoardWorld();
        ASSERT_TRUE(view->Create(0, WS_CHILD | WS_VISIBLE, board, host));
        const HWND w = view->Handle();
        view->SetUpScene(1);
        // No report of the display has come, as on Vista and 7 where none ever does: it draws.
        ASSERT_TRUE(wt::PumpUntil([&] { return world.frameCounter > 2; }, 3000)) << c.name;
        EXPECT_EQ(resolutionRequests, 1) << c.name << ": held while it draws";
        c.away(w);
        wt::PumpUntil([] { return false; }, 100);
        const uint32_t frame = world.frameCounter;
        HDC dc = GetDC(w);
        FillRect(dc, &board, unpainted);
        ReleaseDC(w, dc);
        wt::PumpUntil([] { return false; }, 100);
        EXPECT_EQ(world.frameCounter, frame) << c.name;
        EXPECT_EQ(resolutionRequests, 0) << c.name << ": given back while it stands still";
        c.back(w);
        EXPECT_TRUE(wt::PumpUntil([&] { return world.frameCounter > frame + 1; }, 3000)) << c.name;
        const std::vector<uint32_t> shot = wt::CaptureScreen(w).pixels;
        EXPECT_EQ(std::count(shot.begin(), shot.end(), 0x010203u), 0) << c.name << ": all repainted";
        DestroyWindow(w);
    }
    DestroyWindow(host);
    DeleteObject(unpainted);
    EXPECT_EQ(resolutionRequests, 0) << "the timer ends with its view";
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "only the main window's end ends the loop";
}

// Sent to a fresh full-screen saver after a first mouse move to (10, 10).
const struct {
    const char* name;
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    bool ends;
} kInputs[] = {
    {"back at the first place", WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), false},
    {"one pixel right", WM_MOUSEMOVE, 0, MAKELPARAM(11, 10), true}, {"left button", WM_LBUTTONDOWN, MK_LBUTTON, 0, true},
    {"left button up", WM_LBUTTONUP, 0, 0, false}, {"system key", WM_SYSKEYDOWN, VK_MENU, 0x20000001, true},
    {"key up", WM_KEYUP, 'A', LPARAM(0xC0000001u), false}, {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0, false},
    {"deactivated", WM_ACTIVATE, WA_INACTIVE, 0, true}, {"application deactivated", WM_ACTIVATEAPP, 0, 0, true},
    {"close command", WM_SYSCOMMAND, SC_CLOSE, 0, false},
};

TEST(SaverWindow, EndsOnInputThatEndsAndOnNothingElse)
{
    for (const auto& c : kInputs) {
        auto* saver = new SaverWindow(theApp);  // deletes itself
        ASSERT_TRUE(saver->CreateFullScreen(1));
        Window::SetMain(saver);
        const HWND w = saver->Handle();
        MSG msg;
        SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        SendMessageA(w, c.id, c.wParam, c.lParam);
        // A close command's default processing closes the window there and then.
        EXPECT_EQ(!IsWindow(w) || PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE), c.ends) << c.name;
        DestroyWindow(w);
        EXPECT_FALSE(Window::Main()) << c.name;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
}

}  // namespace
