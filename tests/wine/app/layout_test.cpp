// The full-screen saver follows the monitors' layout as it changes, told by WM_DISPLAYCHANGE, with the monitors
// from the test's own list.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/saver_app.h"
#include "app/saver_window.h"
#include "sim/random.h"
#include "sim/scene.h"
#include "winhelp.h"

namespace {

const MonitorArea kPrimary{{0, 0, 1024, 768}, true}, kRight{{1024, 0, 1824, 600}, false}, kLeft{{-800, 0, 0, 600}, false};
std::vector<MonitorArea> layout;

// A rectangle as gtest prints it, ordered from left to right.
using Area = std::tuple<LONG, LONG, LONG, LONG>;
Area AreaOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK CollectShown(HWND window, LPARAM shown)
{
    RECT r;
    if (IsWindowVisible(window) && GetWindowRect(window, &r)) reinterpret_cast<std::multimap<Area, HWND>*>(shown)->insert({AreaOf(r), window});
    return TRUE;
}

std::multimap<Area, HWND> Shown()
{
    std::multimap<Area, HWND> shown;
    EnumThreadWindows(GetCurrentThreadId(), CollectShown, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

HWND ShownOver(const RECT& monitor)
{
    const auto shown = Shown();
    const auto found = shown.find(AreaOf(monitor));
    return found == shown.end() ? nullptr : found->second;
}

Rect BoardOf(const RECT& monitor) { return Rect{0, 0, monitor.right - monitor.left, monitor.bottom - monitor.top}; }

// Whether the world's pins lie as one board of that size lays them out alone, from that seed.
bool PinsAsAlone(const World& world, uint32_t seed, const Rect& board, SaverApp& app)
{
    World alone;
    RandomScope sequence(&seed);
    SetUpScene(alone, board, 0, app);
    return std::equal(world.pins.begin(), world.pins.end(), alone.pins.begin(), alone.pins.end(),
                      [](const Disc* a, const Disc* b) { return a->x == b->x && a->y == b->y; });
}

TEST(SaverWindow, FollowsTheMonitorsAsTheyComeGoAndChangeAndEndsOnlyOnInput)
{
    SaverApp app;  // the framework's one application object, here
    app.SetRegistryKey(kRegistryRoot);
    const std::string key = std::string("Software\\") + kRegistryRoot + "\\wt_app\\Settings";
    const struct {
        const char* name;
        DWORD monitors;  // the stored "Monitors": 1 for a board on every monitor
        std::vector<std::vector<MonitorArea>> changes;
        bool rightStays;  // the right monitor's window goes on
        bool newScene;  // on the saver window's board
    } rows[] = {
        {"added, under All", 1, {{kRight, kPrimary, kLeft}}, true, false},
        {"resized", 0, {{kPrimary, {RECT{1024, 0, 2304, 1024}, false}}}, false, false},
        {"gone and back", 1, {{kPrimary}, {kPrimary, kRight}}, false, false},
        {"primary gone, the other primary now", 0, {{{RECT{-1024, 0, 0, 768}, false}, {RECT{0, 0, 800, 600}, true}}}, false, true},
    };
    for (const auto& row : rows) {
        wt::RegWriteDword(HKEY_CURRENT_USER, key.c_str(), "Monitors", row.monitors);
        layout = {kPrimary, kRight};
        SetMonitorSource([] { return layout; });
        std::srand(1);  // the program's sequence, which the primary board draws from
        EXPECT_EQ(BoardMonitors(row.monitors).size(), row.monitors ? 2u : 1u) << row.name << ": the options dialog's boards";
        auto* saver = new SaverWindow(app);  // deletes itself
        ASSERT_TRUE(saver->CreateFullScreen(1)) << row.name;
        Window::SetMain(saver);
        saver->SetUpScenes();
        const HWND w = saver->Handle(), overRight = ShownOver(kRight.rect);
        if (row.monitors) {  // each board from a sequence of its own
            auto* right = static_cast<SaverView*>(reinterpret_cast<Window*>(GetWindowLongPtrA(overRight, GWLP_USERDATA)));
            EXPECT_TRUE(PinsAsAlone(saver->BoardWorld(), 1, BoardOf(kPrimary.rect), app)) << row.name << ": the primary";
            EXPECT_TRUE(PinsAsAlone(right->BoardWorld(), 1 + 0x9E3779B9u, BoardOf(kRight.rect), app)) << row.name;
        }
        // Over white, where the test can see it: the right monitor shows a board under All, else black all over.
        SetWindowPos(overRight, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE);
        HDC dc = GetDC(overRight);
        const Rect board = BoardOf(kRight.rect);
        const RECT client{0, 0, board.right, board.bottom};
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(overRight, dc);
        RedrawWindow(overRight, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const std::vector<uint32_t> shot = wt::CaptureScreen(overRight).pixels;
        const size_t black = size_t(std::count(shot.begin(), shot.end(), 0u));
        EXPECT_TRUE(black > shot.size() / 2 && (black == shot.size()) == !row.monitors) << row.name << ": " << black << " black";
        SetWindowPos(overRight, nullptr, kRight.rect.left, kRight.rect.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        for (int i = 0; i < 3; ++i) SendMessageA(w, WM_TIMER, 1, 0);
        const uint32_t frame = saver->BoardWorld().frameCounter;
        for (const auto& change : row.changes) {
            layout = change;
            SendMessageA(w, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
        }
        std::multiset<Area> expected, shown;
        for (const MonitorArea& monitor : layout) expected.insert(AreaOf(monitor.rect));
        for (const auto& [area, window] : Shown()) shown.insert(area);
        EXPECT_EQ(shown, expected) << row.name;
        EXPECT_TRUE(!row.rightStays || ShownOver(kRight.rect) == overRight) << row.name << ": a window that stays goes on";
        EXPECT_EQ(saver->BoardWorld().frameCounter < frame, row.newScene) << row.name;
        // Input on a window of the new layout ends them all; its first move is only remembered.
        const HWND last = ShownOver(layout.back().rect);
        SendMessageA(last, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << row.name << ": ended";
        SendMessageA(last, WM_MOUSEMOVE, 0, MAKELPARAM(300, 201));
        ASSERT_TRUE(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << row.name << ": input ends nothing";
        DispatchMessageA(&msg);
        EXPECT_TRUE(Shown().empty()) << row.name;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        SetMonitorSource(nullptr);
    }
    wt::RegRemoveTree(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
