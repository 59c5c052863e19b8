// The view and the saver windows driven in-process: their ticks, their paint,
// the input rules of their message tables, and the covering of two monitors
// fed through the monitor seam.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/blank_monitor_window.h"
#include "app/saver_app.h"
#include "app/saver_window.h"
#include "render/anim_timer.h"
#include "render/saver_view.h"
#include "render_support.h"
#include "resource.h"
#include "sim/world.h"
#include "winhelp.h"

namespace {

const char kSettingsKey[] = "Software\\Velloran Screen Saver\\wt_render\\Settings";

bool HasTimer(HWND w) { return GetPropA(w, "PROP_ANIMTIMERDATA") != nullptr; }

// The client area as the window's own context holds it, 0x00BBGGRR.
std::vector<COLORREF> ReadClient(HWND w, int* width = nullptr, int* height = nullptr)
{
    RECT r;
    GetClientRect(w, &r);
    HDC dc = GetDC(w);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, r.right, r.bottom);
    HGDIOBJ kept = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) pixels.push_back(GetPixel(mem, x, y));
    SelectObject(mem, kept);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(w, dc);
    if (width) *width = r.right;
    if (height) *height = r.bottom;
    return pixels;
}

void FillClient(HWND w, const RECT& r, COLORREF colour)
{
    HDC dc = GetDC(w);
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(w, dc);
}

// Visible top-level windows of this thread.
BOOL CALLBACK CollectVisible(HWND w, LPARAM list)
{
    if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectVisible, LPARAM(&windows));
    return windows;
}

HCURSOR InvisibleCursor() { return LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_INVISIBLE)); }

class ViewTest : public ::testing::Test {
protected:
    ViewTest() { wt::RegRemoveTree(HKEY_CURRENT_USER, kSettingsKey); }
    ~ViewTest() override
    {
        if (view.Handle()) DestroyWindow(view.Handle());
        TheWorld().DeleteDiscs();
        TheWorld().sparks.Init(30, 4);
        TheWorld().frameCounter = 0;
        TheWorld().scene.sceneFrames = 1000;
    }
    void CreateView(int width = 300, int height = 200)
    {
        ASSERT_TRUE(view.Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, RECT{0, 0, width, height}, nullptr, 0, nullptr));
    }
    // Ticks only when the test sends them, from frame 0.
    void StopTicks()
    {
        ASSERT_TRUE(KillAnimTimer(view.Handle(), 1));
        TheWorld().frameCounter = 0;
    }

    SaverView view{false};
};

TEST_F(ViewTest, CreationStartsTheTimerAtTheStoredRefreshRatePlusOne)
{
    ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, "RefreshRate", 99));
    const DWORD start = GetTickCount();  // ticks may come while the window is still being made
    CreateView();
    EXPECT_TRUE(HasTimer(view.Handle()));
    ASSERT_TRUE(rt::PumpUntil([] { return TheWorld().frameCounter >= 3; }, 5000));
    // A 100 ms period cannot give more frames than this; the default
    // period of 19 ms would give five times as many.
    const DWORD spent = GetTickCount() - start;
    EXPECT_LE(TheWorld().frameCounter, spent / 100 + 2);
    EXPECT_EQ(GetClassLongPtrA(view.Handle(), GCLP_HCURSOR), LONG_PTR(InvisibleCursor()));
    EXPECT_NE(InvisibleCursor(), nullptr);
}

TEST_F(ViewTest, OnlyTimerIdOneRunsAFrameAndTheSceneChangesAfterItsLength)
{
    CreateView();
    StopTicks();
    TheWorld().scene.sceneFrames = 3;
    SendMessageA(view.Handle(), WM_TIMER, 2, 0);
    EXPECT_EQ(TheWorld().frameCounter, 0u);
    SendMessageA(view.Handle(), WM_TIMER, 1, 0);
    SendMessageA(view.Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(TheWorld().frameCounter, 2u);
    EXPECT_TRUE(TheWorld().pins.empty());
    SendMessageA(view.Handle(), WM_TIMER, 1, 0);
    // The third tick ends the scene: a new one from the stored settings.
    EXPECT_EQ(TheWorld().frameCounter, 0u);
    EXPECT_EQ(TheWorld().pins.size() >= 40u, true) << TheWorld().pins.size();
    EXPECT_EQ(TheWorld().balls.size(), 3u);
}

TEST(BlankMonitorWindow, PaintsItsWholeClientAreaBlackAndHidesThePointer)
{
    BlankMonitorWindow blank;
    ASSERT_TRUE(blank.Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 250}, nullptr, 0, nullptr));
    FillClient(blank.Handle(), RECT{0, 0, 200, 150}, RGB(255, 0, 0));
    InvalidateRect(blank.Handle(), nullptr, FALSE);
    UpdateWindow(blank.Handle());
    int width = 0, height = 0;
    const std::vector<COLORREF> pixels = ReadClient(blank.Handle(), &width, &height);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 150);
    int black = 0;
    for (COLORREF c : pixels) black += c == RGB(0, 0, 0);
    EXPECT_EQ(black, 200 * 150);
    EXPECT_EQ(GetClassLongPtrA(blank.Handle(), GCLP_HCURSOR), LONG_PTR(InvisibleCursor()));
    DestroyWindow(blank.Handle());
}

// --- Input rules -----------------------------------------------------------

struct Input {
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
};

struct InputCase {
    const char* name;
    std::vector<Input> inputs;
    bool saverCloses;
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

const LPARAM kAt10 = MAKELPARAM(10, 10);

const InputCase kInputCases[] = {
    {"first move only remembered", {{WM_MOUSEMOVE, 0, kAt10}}, false},
    {"back at the first position", {{WM_MOUSEMOVE, 0, kAt10}, {WM_MOUSEMOVE, 0, kAt10}}, false},
    {"one pixel right", {{WM_MOUSEMOVE, 0, kAt10}, {WM_MOUSEMOVE, 0, MAKELPARAM(11, 10)}}, true},
    {"one pixel up", {{WM_MOUSEMOVE, 0, kAt10}, {WM_MOUSEMOVE, 0, MAKELPARAM(10, 9)}}, true},
    {"left button down", {{WM_LBUTTONDOWN, MK_LBUTTON, kAt10}}, true},
    {"middle button down", {{WM_MBUTTONDOWN, MK_MBUTTON, kAt10}}, true},
    {"right button down", {{WM_RBUTTONDOWN, MK_RBUTTON, kAt10}}, true},
    {"key down", {{WM_KEYDOWN, 'A', 1}}, true},
    {"alt down", {{WM_SYSKEYDOWN, VK_MENU, 0x20000001}}, true},
    {"left button up", {{WM_LBUTTONUP, 0, kAt10}}, false},
    {"right button up", {{WM_RBUTTONUP, 0, kAt10}}, false},
    {"wheel", {{WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), kAt10}}, false},
    {"key up", {{WM_KEYUP, 'A', LPARAM(0xC0000001u)}}, false},
    {"character", {{WM_CHAR, 'a', 1}}, false},
    {"deactivated", {{WM_ACTIVATE, WA_INACTIVE, 0}}, true},
    {"activated", {{WM_ACTIVATE, WA_ACTIVE, 0}}, false},
    {"application deactivated", {{WM_ACTIVATEAPP, 0, 0}}, true},
    {"application activated", {{WM_ACTIVATEAPP, 1, 0}}, false},
    {"screensaver command", {{WM_SYSCOMMAND, SC_SCREENSAVE, 0}}, false},
    {"close command", {{WM_SYSCOMMAND, SC_CLOSE, 0}}, false},
};

// A full-screen saver, with the close requests it posts
// caught before they take effect.
class InputRules : public ::testing::TestWithParam<InputCase> {
protected:
    void SetUp() override
    {
        saver = new SaverWindow();
        ASSERT_TRUE(saver->CreateFullScreen());
        hwnd = saver->Handle();
        ASSERT_TRUE(KillAnimTimer(hwnd, 1));
        DrainCloseRequests();  // whatever creation itself caused
    }
    void TearDown() override
    {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);  // the object deletes itself
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // True when a close request was pending (or the window is already gone).
    bool DrainCloseRequests()
    {
        MSG msg;
        bool closing = !IsWindow(hwnd);
        while (PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) closing = true;
        return closing;
    }

    SaverWindow* saver = nullptr;
    HWND hwnd = nullptr;
};

class SaverWindowInput : public InputRules {};

// The blank windows share the rule; TwoMonitors shows that they pass it on.
TEST_P(SaverWindowInput, ClosesOrNot)
{
    for (const Input& in : GetParam().inputs) SendMessageA(hwnd, in.id, in.wParam, in.lParam);
    EXPECT_EQ(DrainCloseRequests(), GetParam().saverCloses);
    EXPECT_TRUE(IsWindow(hwnd)) << "a close request only posts WM_CLOSE";
}

std::string CaseName(const ::testing::TestParamInfo<InputCase>& info)
{
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        if (isalnum(static_cast<unsigned char>(*c))) name += *c;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Rules, SaverWindowInput, ::testing::ValuesIn(kInputCases), CaseName);

TEST_F(InputRules, TheSaverWindowHidesThePointerAndKeepsItsFrameActive)
{
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageA(hwnd, WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCACTIVATE, FALSE, 0), 0);
    EXPECT_FALSE(DrainCloseRequests());
    // A command that only shares the close command's high bits is another one.
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE | 1, 0);
    EXPECT_TRUE(DrainCloseRequests());
}

// --- Two monitors ----------------------------------------------------------

std::vector<HWND> destroyed;  // in the order their last message completed
HWND saverOfHook = nullptr;
bool blankGoneAtSaverDestroy = false, timerGoneAtSaverDestroy = false;
HWND blankOfHook = nullptr;

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    auto* m = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_NCDESTROY && (m->hwnd == saverOfHook || m->hwnd == blankOfHook))
        destroyed.push_back(m->hwnd);
    if (code == HC_ACTION && m->message == WM_DESTROY && m->hwnd == saverOfHook) {
        blankGoneAtSaverDestroy = !IsWindow(blankOfHook);
        timerGoneAtSaverDestroy = !HasTimer(saverOfHook);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<MonitorArea> SecondaryOnTheLeft()
{
    // The system's order need not put the primary first.
    return {{RECT{-800, 0, 0, 600}, false},
            {RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true}};
}

TEST(TwoMonitors, BlankOverTheSecondarySaverOverThePrimaryAndShutdownInOrder)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    auto* saver = new SaverWindow();
    SetMonitorSource(SecondaryOnTheLeft);
    ASSERT_TRUE(saver->CreateFullScreen());
    SetMonitorSource(nullptr);
    const HWND hwnd = saver->Handle();

    const std::vector<HWND> windows = ThreadWindows();
    ASSERT_EQ(windows.size(), 2u);
    const HWND blank = windows[0] == hwnd ? windows[1] : windows[0];

    RECT r;
    GetWindowRect(blank, &r);
    EXPECT_EQ(r.left, -800);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 600);
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, cx);
    EXPECT_EQ(r.bottom, cy);
    for (HWND w : {blank, hwnd}) {
        EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(DWORD(GetWindowLongA(w, GWL_STYLE)) & (WS_POPUP | WS_VISIBLE), DWORD(WS_POPUP | WS_VISIBLE));
        EXPECT_EQ(wt::Text(w), "");
        EXPECT_EQ(GetClassLongPtrA(w, GCLP_HCURSOR), LONG_PTR(InvisibleCursor()));
    }
    EXPECT_EQ(GetActiveWindow(), hwnd) << "the saver window comes last and stays active";
    EXPECT_TRUE(HasTimer(hwnd));

    destroyed.clear();
    rt::TakeQuit(nullptr);
    saverOfHook = hwnd;
    blankOfHook = blank;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);

    PostMessageA(blank, WM_MOUSEMOVE, 0, MAKELPARAM(300, 200));
    rt::PumpFor(300);
    EXPECT_TRUE(IsWindow(hwnd)) << "the first move over the blank window is only remembered";
    PostMessageA(blank, WM_MOUSEMOVE, 0, MAKELPARAM(300, 201));
    EXPECT_TRUE(rt::PumpUntil([&] { return !IsWindow(hwnd); }, 10000));
    UnhookWindowsHookEx(hook);

    ASSERT_EQ(destroyed.size(), 2u);
    EXPECT_EQ(destroyed[0], blank);
    EXPECT_EQ(destroyed[1], hwnd);
    EXPECT_TRUE(blankGoneAtSaverDestroy);
    EXPECT_TRUE(timerGoneAtSaverDestroy);
    WPARAM code = 99;
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) code = msg.wParam;
    else ASSERT_TRUE(rt::TakeQuit(&code)) << "the saver's end ends the loop";
    EXPECT_EQ(code, 0u);
}

}  // namespace
