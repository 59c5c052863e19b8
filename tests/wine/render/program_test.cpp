// The built screensaver as the system runs it: full-screen (/s) from its
// installed place, ended by real input; and preview (/p) inside a host window
// of this program.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "render_support.h"
#include "winhelp.h"

namespace {

const char kSettingsKey[] = "Software\\Velloran Screen Saver\\VelloranSaver\\Settings";
const char* const kNames[] = {"NumBalls", "NumPins",         "BallSize",    "PinSize", "Symmetry",
                              "Gravity",  "ScenarioCounter", "RefreshRate", "Sparks"};

// Installs the screensaver under its real name, as the active one.
std::string InstallSaver()
{
    const std::string installed = wt::WindowsDir() + "\\VelloranSaver.scr";
    CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), installed.c_str(), FALSE);
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(installed.c_str(), shortPath, MAX_PATH);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", shortPath, "system.ini");
    return installed;
}

using WindowSearch = std::pair<DWORD, std::vector<HWND>>;

BOOL CALLBACK CollectVisibleOf(HWND w, LPARAM p)
{
    auto* search = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == search->first && IsWindowVisible(w)) search->second.push_back(w);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD pid)
{
    WindowSearch search{pid, {}};
    EnumWindows(CollectVisibleOf, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

void Key(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

void Mouse(DWORD flags, DWORD data = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = data;
    SendInput(1, &in, sizeof(INPUT));
}

struct Census {
    long black = 0, pin = 0, other = 0;
};

Census Count(const wt::Screen& shot)
{
    Census c;
    for (uint32_t p : shot.pixels) {
        const int r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
        if (p == 0) ++c.black;
        else if (r >= 170 && r <= 229 && g >= 170 && g <= 229 && b >= 170 && b <= 229) ++c.pin;
        else ++c.other;
    }
    return c;
}

enum class Stored { TenBalls, AllMax, AllMin };

struct InputCase {
    const char* name;
    Stored stored;
    // Input that must leave the saver running (may be null), then input that must end it.
    void (*harmless)();
    void (*ending)();
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

void FirstMove() { SetCursorPos(500, 400); }
void OnePixelOn() { SetCursorPos(501, 400); }
void KeyA() { Key('A'); }
void Click()
{
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
}
void WheelAndReleases()
{
    Mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    Mouse(MOUSEEVENTF_LEFTUP);
    Mouse(MOUSEEVENTF_RIGHTUP);
}
void AnotherWindowActivates()
{
    static HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, nullptr,
                                        nullptr, nullptr, nullptr);
    ShowWindow(other, SW_SHOW);
    SetForegroundWindow(other);
}

const InputCase kCases[] = {
    {"FirstMoveOnlyRememberedOnePixelMoveEnds", Stored::TenBalls, FirstMove, OnePixelOn},
    {"KeyEnds", Stored::TenBalls, nullptr, KeyA},
    {"ClickEnds", Stored::TenBalls, nullptr, Click},
    {"AnotherWindowTakingActivationEnds", Stored::TenBalls, nullptr, AnotherWindowActivates},
    {"WheelAndButtonReleasesDoNotEnd", Stored::TenBalls, WheelAndReleases, KeyA},
    // Every stored value at its 32-bit extreme: still a picture, still ended by a key.
    {"AllStoredAtMaximumKeyEnds", Stored::AllMax, nullptr, KeyA},
    {"AllStoredAtMinimumKeyEnds", Stored::AllMin, nullptr, KeyA},
};

class FullScreen : public ::testing::TestWithParam<InputCase> {};

TEST_P(FullScreen, ShowsThePinBoardAndEndsOnlyOnInputThatEnds)
{
    const InputCase& c = GetParam();
    wt::RegRemoveTree(HKEY_CURRENT_USER, kSettingsKey);
    for (const char* name : kNames) {
        if (c.stored == Stored::AllMax) wt::RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, name, 0x7FFFFFFF);
        if (c.stored == Stored::AllMin) wt::RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, name, 0x80000000);
    }
    // Ten balls, so that some are in play soon.
    if (c.stored == Stored::TenBalls) wt::RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, "NumBalls", 10);
    // The pointer rests away from where the cases move it before the saver starts.
    SetCursorPos(400, 300);
    ASSERT_TRUE(wt::WaitUntil([] { POINT p; return GetCursorPos(&p) && p.x == 400 && p.y == 300; }, 5000));

    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(InstallSaver()) + " /s"));
    std::vector<HWND> windows;
    ASSERT_TRUE(wt::WaitUntil([&] { return !(windows = VisibleWindowsOf(saver.Id())).empty(); }, 15000));
    ASSERT_EQ(windows.size(), 1u) << "one monitor: no blank window";
    RECT r;
    GetWindowRect(windows[0], &r);
    EXPECT_TRUE(r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
                r.bottom == GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongA(windows[0], GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Mostly black, with grey pins and coloured balls; forty pins of radius 8
    // are ~8000 pixels, a ball of radius 30 ~2800. At the extremes, something.
    const long area = long(r.right) * r.bottom;
    Census seen;
    const bool drawn = wt::WaitUntil(
        [&] {
            seen = Count(wt::CaptureScreen());
            if (c.stored != Stored::TenBalls) return seen.black < area && seen.pin + seen.other > 0;
            return seen.black > area * 8 / 10 && seen.pin > 4000 && seen.other > 1500;
        },
        15000);
    EXPECT_TRUE(drawn) << "black " << seen.black << ", pin-coloured " << seen.pin << ", other " << seen.other;
    ASSERT_TRUE(saver.Running()) << "the saver closed on its own";

    if (c.harmless) {
        c.harmless();
        // An input that does not end leaves no state to wait for: watch a while.
        rt::PumpFor(700);
        EXPECT_TRUE(saver.Running()) << "ended by input that must not end it";
    }
    c.ending();
    DWORD code = 1234;
    EXPECT_TRUE(rt::PumpUntil([&] { return saver.Wait(0, &code); }, 15000)) << "the saver is still running";
    EXPECT_EQ(code, 0u);
    wt::RegRemoveTree(HKEY_CURRENT_USER, kSettingsKey);
}

INSTANTIATE_TEST_SUITE_P(Inputs, FullScreen, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

// --- Preview ---------------------------------------------------------------

TEST(Preview, FillsTheHostsClientAreaAndEndsWithTheHost)
{
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(InstallSaver()) + " /p " + std::to_string(reinterpret_cast<uintptr_t>(host))));
    HWND view = nullptr;
    ASSERT_TRUE(rt::PumpUntil([&] { return (view = FindWindowExA(host, nullptr, nullptr, nullptr)) != nullptr; },
                              10000));
    RECT client, child;
    GetClientRect(host, &client);
    GetWindowRect(view, &child);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&child), 2);
    EXPECT_TRUE(EqualRect(&client, &child));
    // The view runs its animation. (Wine does not show what a process draws
    // into a child of another process's window; the in-process view tests
    // cover the drawing.)
    EXPECT_TRUE(rt::PumpUntil([&] { return GetPropA(view, "PROP_ANIMTIMERDATA") != nullptr; }, 5000));

    DestroyWindow(host);
    DWORD code = 1234;
    EXPECT_TRUE(rt::PumpUntil([&] { return saver.Wait(0, &code); }, 15000));
    EXPECT_EQ(code, 0u);
}

}  // namespace
