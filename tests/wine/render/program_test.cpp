// The built screensaver as the system runs it: full-screen (/s) from its
// installed place, and preview (/p) inside a host window of this program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render_support.h"
#include "winhelp.h"

namespace {

const char kSettingsKey[] = "Software\\Velloran Screen Saver\\VelloranSaver\\Settings";

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

struct FindRequest {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfProcess(HWND w, LPARAM p)
{
    auto* req = reinterpret_cast<FindRequest*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == req->pid && IsWindowVisible(w)) req->found.push_back(w);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD pid)
{
    FindRequest req{pid, {}};
    EnumWindows(CollectOfProcess, reinterpret_cast<LPARAM>(&req));
    return req.found;
}

bool IsPinColour(COLORREF c)
{
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return r >= 170 && r <= 229 && g >= 170 && g <= 229 && b >= 170 && b <= 229;
}

struct Census {
    long black = 0, pin = 0, other = 0;
};

Census Count(const wt::Screen& shot)
{
    Census c;
    for (uint32_t p : shot.pixels) {
        if (p == 0) ++c.black;
        else if (IsPinColour(p)) ++c.pin;
        else ++c.other;
    }
    return c;
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

class FullScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCursorPos(400, 300);
        Sleep(200);  // the pointer has settled before the saver looks at it
        // Ten balls, so that some are in play soon.
        ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, "NumBalls", 10));
        const std::string scr = InstallSaver();
        ASSERT_TRUE(saver.Start(wt::Quote(scr) + " /s"));
        ASSERT_TRUE(wt::WaitUntil([&] { return !VisibleWindowsOf(saver.Id()).empty(); }, 10000));
        window = VisibleWindowsOf(saver.Id()).front();
        // Whatever the system sends as a window appears has arrived by now.
        Sleep(1000);
        ASSERT_TRUE(saver.Running());
        ASSERT_TRUE(IsWindowVisible(window)) << "the saver closed on its own";
    }

    // Ends with exit code 0 within a generous deadline.
    void ExpectEndsCleanly()
    {
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(15000, &code)) << "the saver is still running";
        EXPECT_EQ(code, 0u);
    }
    void ExpectStillRunning()
    {
        // Nothing to wait for: a later key proves that this input was handled.
        Sleep(700);
        EXPECT_TRUE(saver.Running());
    }

    wt::Process saver;
    HWND window = nullptr;
};

TEST_F(FullScreen, ShowsGreyPinsAndColouredBallsOnBlackOverTheWholeScreen)
{
    const std::vector<HWND> windows = VisibleWindowsOf(saver.Id());
    ASSERT_EQ(windows.size(), 1u) << "one monitor: no blank window";
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    const long area = long(r.right) * r.bottom;
    Census seen;
    wt::Screen shot;
    const bool ok = wt::WaitUntil(
        [&] {
            shot = wt::CaptureScreen();
            seen = Count(shot);
            // Forty pins of radius 8 are ~8000 pixels; a ball of radius 30 ~2800.
            return seen.black > area * 8 / 10 && seen.pin > 4000 && seen.other > 1500;
        },
        10000);
    shot.SaveBmp(wt::HereDir() + "\\fullscreen.bmp");
    EXPECT_TRUE(ok) << "black " << seen.black << ", pin-coloured " << seen.pin << ", other " << seen.other
                    << " of " << area;
    EXPECT_TRUE(saver.Running());
}

TEST_F(FullScreen, TheFirstMoveIsOnlyRememberedAOnePixelMoveEnds)
{
    SetCursorPos(500, 400);
    ExpectStillRunning();
    SetCursorPos(501, 400);
    ExpectEndsCleanly();
}

TEST_F(FullScreen, AKeyEnds)
{
    Key('A');
    ExpectEndsCleanly();
}

TEST_F(FullScreen, AClickEnds)
{
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
    ExpectEndsCleanly();
}

TEST_F(FullScreen, AnotherWindowTakingActivationEnds)
{
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    DWORD code = 1234;
    EXPECT_TRUE(rt::PumpUntil([&] { return saver.Wait(0, &code); }, 15000));
    EXPECT_EQ(code, 0u);
    DestroyWindow(other);
}

TEST_F(FullScreen, TheWheelAndButtonReleasesDoNotEnd)
{
    Mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    Mouse(MOUSEEVENTF_LEFTUP);
    Mouse(MOUSEEVENTF_RIGHTUP);
    ExpectStillRunning();
    Key(VK_SPACE);  // still listening
    ExpectEndsCleanly();
}

TEST_F(FullScreen, ThePointerIsInvisible)
{
    SetCursorPos(600, 500);  // remembered, and the window sets its cursor
    Sleep(300);
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetCursorInfo(&info));
    EXPECT_TRUE(info.hCursor == nullptr || !(info.flags & CURSOR_SHOWING));
    EXPECT_TRUE(saver.Running());

    // And the class cursor itself shows nothing: cursor 129 of the file.
    HMODULE file = LoadLibraryExA(wt::Artefact("VelloranSaver.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(file, nullptr);
    HRSRC group = FindResourceA(file, MAKEINTRESOURCEA(129), MAKEINTRESOURCEA(12));  // RT_GROUP_CURSOR
    ASSERT_NE(group, nullptr);
    // The group's one entry (14 bytes after a 6-byte header) ends with its image's id.
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(file, group)));
    ASSERT_EQ(*reinterpret_cast<const WORD*>(dir + 4), 1);
    const WORD imageId = *reinterpret_cast<const WORD*>(dir + 6 + 12);
    HRSRC res = FindResourceA(file, MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(1));  // RT_CURSOR
    ASSERT_NE(res, nullptr);
    const auto* image = static_cast<const BYTE*>(LockResource(LoadResource(file, res)));
    const DWORD size = SizeofResource(file, res);
    ASSERT_EQ(size, 4u + 40 + 8 + 128 + 128);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(image), 0) << "hot spot x";
    EXPECT_EQ(*reinterpret_cast<const WORD*>(image + 2), 0) << "hot spot y";
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image + 4);
    EXPECT_EQ(header->biWidth, 32);
    EXPECT_EQ(header->biHeight, 64);
    EXPECT_EQ(header->biBitCount, 1);
    const BYTE* xorMask = image + 4 + 40 + 8;
    const BYTE* andMask = xorMask + 128;
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(xorMask[i], 0x00) << i;
        EXPECT_EQ(andMask[i], 0xFF) << i;
    }
    FreeLibrary(file);
    Key(VK_SPACE);
    ExpectEndsCleanly();
}

// --- Preview ---------------------------------------------------------------

LRESULT CALLBACK HostProc(HWND w, UINT id, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, id, wp, lp); }

TEST(Preview, FillsTheHostsClientAreaAndEndsWithTheHost)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "RenderTestPreviewHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "host", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr,
                                nullptr, wc.hInstance, nullptr);
    ASSERT_NE(host, nullptr);
    rt::PumpFor(200);

    const std::string scr = InstallSaver();
    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(scr) + " /p " + std::to_string(reinterpret_cast<uintptr_t>(host))));
    HWND view = nullptr;
    ASSERT_TRUE(rt::PumpUntil([&] { return (view = FindWindowExA(host, nullptr, nullptr, nullptr)) != nullptr; },
                              10000));
    RECT client, child;
    GetClientRect(host, &client);
    GetWindowRect(view, &child);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&child), 2);
    EXPECT_TRUE(EqualRect(&client, &child));

    // The view runs its animation. (Its pixels cannot be read here: Wine
    // does not show what a process draws into a child of another process's
    // window; the in-process view tests cover the drawing.)
    EXPECT_NE(GetPropA(view, "PROP_ANIMTIMERDATA"), nullptr);
    rt::PumpFor(500);
    EXPECT_TRUE(saver.Running());

    DestroyWindow(host);
    DWORD code = 1234;
    EXPECT_TRUE(rt::PumpUntil([&] { return saver.Wait(0, &code); }, 15000));
    EXPECT_EQ(code, 0u);
}

}  // namespace
