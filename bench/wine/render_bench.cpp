// Frame cost, pace and memory of the drawing view, measured under Wine (see
// scripts/bench-wine). Prints one line per figure.
//
//   wb_render frames     cost of one tick (step and draw), the view's against the plain way of
//                        drawing every disc in a fresh back buffer every frame, same scenes; then
//                        the view's at a display scale of 200 % (the plain way knows no scale)
//   wb_render pace       achieved tick period against the requested one
//   wb_render memory     process memory after 1 000 and 20 000 frames
//   wb_render display off|on
//                        tells the running full-screen screensaver that the display went off or
//                        came back, as the system does; for the CPU figures of scripts/bench-wine
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/saver_app.h"
#include "frame_cases.h"
#include "render/anim_timer.h"
#include "render/saver_view.h"
#include "sim/scene.h"
#include "sim/world.h"

namespace {

const char kSettingsKey[] = "Software\\Velloran Screen Saver\\wb_render\\Settings";

// The views read their settings through the application object, under the
// same registry root as the screensaver's.
SaverApp theApp;
const bool registryRootSet = (theApp.SetRegistryKey("Velloran Screen Saver"), true);

double NowMs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

// Busy blocks in all heaps of this process.
long HeapBlockCount()
{
    std::vector<HANDLE> heaps(256);
    const DWORD n = GetProcessHeaps(DWORD(heaps.size()), heaps.data());
    long busy = 0;
    for (DWORD i = 0; i < n && i < heaps.size(); ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        if (!HeapLock(heaps[i])) continue;
        while (HeapWalk(heaps[i], &entry)) busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
        HeapUnlock(heaps[i]);
    }
    return busy;
}

void Store(const std::vector<BenchSetting>& settings)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    for (const BenchSetting& s : settings)
        RegSetValueExA(key, s.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&s.value), sizeof s.value);
    RegCloseKey(key);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// A view that notes when each tick begins.
class TimedView : public SaverView {
public:
    TimedView() : SaverView(false, theApp) {}
    std::vector<double> tickStarts;

protected:
    bool HandleMessage(Message& m) override
    {
        if (m.id == WM_TIMER) tickStarts.push_back(NowMs());
        return SaverView::HandleMessage(m);
    }
};

// The display's dots per inch that the views are told of.
UINT benchDpi = 96;

// A full-screen view whose ticks come only from the bench, on a fresh scene
// from the given seed.
HWND OpenView(TimedView& view, bool ownTimer, unsigned seed = 1)
{
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    view.Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr);
    if (benchDpi != 96) SendMessageA(view.Handle(), WM_DPICHANGED, MAKEWPARAM(benchDpi, benchDpi), LPARAM(&screen));
    if (!ownTimer) KillAnimTimer(view.Handle(), 1);
    Pump();
    RECT client;
    GetClientRect(view.Handle(), &client);
    std::srand(seed);
    view.SetUpScene(0);
    return view.Handle();
}

void CloseView(TimedView& view)
{
    KillAnimTimer(view.Handle(), 1);
    DestroyWindow(view.Handle());
    Pump();
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// The plain way of drawing a frame: every disc afresh in a new buffer, copied
// by rectangles, as the view drew before it kept its buffer. A new bitmap is
// black: a whole frame's first fill of the buffer has nothing to do.
class FreshBufferPen : public GdiPen {
public:
    FreshBufferPen(HDC target, HDC buffer, const Rect& board) : GdiPen(target, buffer), board_(board) {}
    void Fill(Surface surface, const Rect& r) override
    {
        const bool wholeBuffer = surface == Surface::kBuffer && r.left == 0 && r.top == 0 && r.right == board_.right &&
                                 r.bottom == board_.bottom;
        if (!wholeBuffer) GdiPen::Fill(surface, r);
    }

private:
    Rect board_;
};

// One tick drawn the plain way: the view's animation, every frame whole in a
// fresh back buffer.
void PlainTick(HWND w, Animation& animation)
{
    const Rect& board = animation.Board();
    HDC dc = GetDC(w);
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, board.right, board.bottom);
    HGDIOBJ kept = SelectObject(buffer, bitmap);
    FreshBufferPen pen(dc, buffer, board);
    animation.Tick(pen, true);
    SelectObject(buffer, kept);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    ReleaseDC(w, dc);
}

struct Cost {
    double mean, median, p99;
    size_t inPlay, pins, balls;
};

Cost Measure(unsigned seed, bool plain)
{
    TimedView view;
    HWND w = OpenView(view, false, seed);
    // The plain way knows no scale: only what the discs cover is copied.
    Animation plainAnimation(theApp, CompositionRules{});
    RECT client;
    GetClientRect(w, &client);
    std::srand(seed);
    if (plain) plainAnimation.SetUp(client.right, client.bottom, 1.0);
    auto tick = [&] { plain ? PlainTick(w, plainAnimation) : void(SendMessageA(w, WM_TIMER, 1, 0)); };
    for (int i = 0; i < 200; ++i) tick();  // balls in play, caches warm
    std::vector<double> cost;
    for (int i = 0; i < 1000; ++i) {
        const double start = NowMs();
        tick();
        cost.push_back(NowMs() - start);
    }
    double sum = 0;
    for (double c : cost) sum += c;
    size_t inPlay = 0;
    const World& world = plain ? plainAnimation.BoardWorld() : view.BoardWorld();
    for (Disc* b : world.balls) inPlay += b->inPlay;
    const Cost result{sum / static_cast<double>(cost.size()), Percentile(cost, 0.5), Percentile(cost, 0.99), inPlay,
                      world.pins.size(), world.balls.size()};
    CloseView(view);
    return result;
}

// The first of a few seeds whose scene lets the most balls into play within
// 200 steps (large pins often block the entry at the top).
unsigned SeedWithBallsInPlay()
{
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    unsigned best = 1;
    size_t most = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        World world;
        std::srand(seed);
        SetUpScene(world, Rect{0, 0, screen.right, screen.bottom}, 0, theApp);
        // As the first frame's drawing does: pins moved inside the pin area
        // by the layout are drawn, and then found, at their new places.
        for (Disc* pin : world.pins) pin->RecomputeBounds();
        for (int i = 0; i < 200; ++i) StepWorld(world, Rect{0, 0, screen.right, screen.bottom});
        size_t inPlay = 0;
        for (Disc* b : world.balls) inPlay += b->inPlay;
        if (inPlay > most) {
            most = inPlay;
            best = seed;
        }
    }
    return best;
}

void FrameCost(const FrameBenchCase& c)
{
    Store(c.settings);
    const unsigned seed = c.ballsInPlay ? SeedWithBallsInPlay() : 1;
    const Cost plain = Measure(seed, true);
    const Cost kept = Measure(seed, false);
    std::printf("frame %-12s %4dx%-4d pins %3zu balls %2zu (in play %2zu)  plain: mean %7.3f median %7.3f p99 %7.3f ms"
                "  |  kept buffer: mean %6.3f median %6.3f p99 %6.3f ms\n",
                c.label, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), kept.pins,
                kept.balls, kept.inPlay, plain.mean, plain.median, plain.p99, kept.mean, kept.median,
                kept.p99);
}

void Pace(uint32_t refreshRate)
{
    Store({{"RefreshRate", refreshRate}});
    TimedView view;
    OpenView(view, true);
    const double end = NowMs() + 5000;
    while (NowMs() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    std::vector<double> periods;
    for (size_t i = 11; i < view.tickStarts.size(); ++i)  // past the start-up
        periods.push_back(view.tickStarts[i] - view.tickStarts[i - 1]);
    double sum = 0;
    for (double p : periods) sum += p;
    std::printf("pace RefreshRate %u: requested %u ms, achieved mean %.2f ms (median %.2f, p5 %.2f, p95 %.2f) over %zu ticks\n",
                unsigned(refreshRate), unsigned(refreshRate + 1), sum / static_cast<double>(periods.size()), Percentile(periods, 0.5),
                Percentile(periods, 0.05), Percentile(periods, 0.95), periods.size());
    CloseView(view);
}

// The slot a new GDI object gets: the lowest free one, which leaked objects
// push up (for systems whose GDI object count reads 0).
unsigned GdiSlot()
{
    HBRUSH probe = CreateSolidBrush(0);
    const unsigned slot = unsigned(reinterpret_cast<uintptr_t>(probe) & 0xFFFF);
    DeleteObject(probe);
    return slot;
}

void Memory()
{
    Store({});
    TimedView view;
    HWND w = OpenView(view, false);
    auto report = [](int frames) {
        PROCESS_MEMORY_COUNTERS_EX pmc = {};
        pmc.cb = sizeof pmc;
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
        std::printf("memory after %5d frames: working set %6lu KB  committed %6lu KB  heap blocks %ld  "
                    "GDI objects %lu (next GDI slot %u)\n",
                    frames, static_cast<unsigned long>(pmc.WorkingSetSize / 1024),
                    static_cast<unsigned long>(pmc.PagefileUsage / 1024), HeapBlockCount(),
                    static_cast<unsigned long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)), GdiSlot());
    };
    int frames = 0;
    for (int target : {1000, 20000}) {
        for (; frames < target; ++frames) {
            SendMessageA(w, WM_TIMER, 1, 0);
            if (frames % 64 == 0) Pump();
        }
        report(frames);
    }
    CloseView(view);
}

struct SaverSearch {
    DWORD process = 0;
    HWND window = nullptr;
};

// The screensaver's window over the whole primary monitor, in another process.
BOOL CALLBACK FindSaverWindow(HWND window, LPARAM found)
{
    auto& search = *reinterpret_cast<SaverSearch*>(found);
    RECT r;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId() || !IsWindowVisible(window) || !GetWindowRect(window, &r)) return TRUE;
    if (r.left != 0 || r.top != 0 || r.right != GetSystemMetrics(SM_CXSCREEN) || r.bottom != GetSystemMetrics(SM_CYSCREEN))
        return TRUE;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    char name[MAX_PATH] = "";
    if (process) GetModuleBaseNameA(process, nullptr, name, sizeof name);
    if (process) CloseHandle(process);
    if (lstrcmpiA(name, "VelloranSaver.scr") != 0) return TRUE;
    search = SaverSearch{pid, window};
    return FALSE;
}

// The power-setting change travels by pointer: it is written into the
// screensaver's memory, where the system would have put it.
int TellDisplayState(bool on)
{
    SaverSearch search;
    EnumWindows(FindSaverWindow, reinterpret_cast<LPARAM>(&search));
    HANDLE process = search.window ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, search.process) : nullptr;
    if (!process) {
        std::printf("display: no full-screen screensaver found\n");
        return 1;
    }
    struct {
        GUID setting;  // the session's display
        DWORD length, state;
    } change = {{0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}}, sizeof(DWORD), on};
    void* remote = VirtualAllocEx(process, nullptr, sizeof change, MEM_COMMIT, PAGE_READWRITE);
    const bool written = remote && WriteProcessMemory(process, remote, &change, sizeof change, nullptr);
    DWORD_PTR answer = 0;
    const bool sent = written && SendMessageTimeoutA(search.window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                                                     reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &answer);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!sent || answer != TRUE) std::printf("display: the screensaver did not take the change\n");
    return sent && answer == TRUE ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* what = argc > 1 ? argv[1] : "all";
    if (std::strcmp(what, "display") == 0) return TellDisplayState(argc > 2 && std::strcmp(argv[2], "on") == 0);
    const bool all = std::strcmp(what, "all") == 0;
    if (all || std::strcmp(what, "frames") == 0) {
        for (const FrameBenchCase& c : kFrameBenchCases) FrameCost(c);
        std::printf("at a display scale of 200 %%:\n");
        benchDpi = 192;
        for (const FrameBenchCase& c : kFrameBenchCases) FrameCost(c);
        benchDpi = 96;
    }
    if (all || std::strcmp(what, "pace") == 0) {
        Pace(18);
        Pace(3);
    }
    if (all || std::strcmp(what, "memory") == 0) Memory();
    return 0;
}
