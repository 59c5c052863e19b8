// The options dialog's web link under the mouse.
#include <gtest/gtest.h>

#include <string>

#include "resource.h"
#include "settings_driver.h"

namespace {

using st::OptionsRun;

constexpr char kRecorderLog[] = "shell-open.txt";
// Starting the recorder is starting a program: slow on a loaded machine.
constexpr DWORD kShellWaitMs = 45000;

// Makes the recorder beside this test the prefix's handler of web addresses.
bool RegisterRecorderForWebAddresses()
{
    const std::string command = wt::Quote(wt::Artefact("settings_shell_recorder.exe")) + " \"%1\"";
    bool ok = true;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        wt::RegRemoveTree(root, "Software\\Classes\\http\\shell");
        HKEY key;
        if (RegCreateKeyExA(root, "Software\\Classes\\http\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            ok = false;
            continue;
        }
        ok = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                            DWORD(command.size() + 1)) == ERROR_SUCCESS && ok;
        RegCloseKey(key);
    }
    return ok;
}

std::string RecordedOpens()
{
    std::string text;
    wt::ReadFileBytes(wt::Artefact(kRecorderLog), &text);
    return text;
}

// The mouse messages of a pointer over a window, at a client point, as the
// system would deliver them; sent, so that the window has handled them when
// this returns. Not fed in as real input: real input moves the display's one
// pointer, which other programs on the same display can move too.
void PointerOver(HWND window, POINT client)
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    const LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(hit, WM_MOUSEMOVE));
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

void ClickOn(HWND window, POINT client)
{
    PointerOver(window, client);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
}

// The cursor the user sees: that of the thread with the foreground window.
HCURSOR ShownCursor()
{
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

bool WaitForForeground(HWND window)
{
    SetForegroundWindow(window);
    return wt::WaitUntil([&] { return GetForegroundWindow() == window; }, st::kWaitMs);
}

// A client point of the dialog's face with no control under it.
POINT OnTheDialogFace(HWND dialog)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &r);
    POINT p = {r.left - 12, r.top - 6};
    ScreenToClient(dialog, &p);
    return p;
}

TEST(LinkControl, ShowsTheHandOverItAndTheArrowAgainElsewhere)
{
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    ASSERT_TRUE(WaitForForeground(run.Dialog()));
    HWND link = GetDlgItem(run.Dialog(), IDC_WEB_LINK);
    ASSERT_NE(link, nullptr);
    // Only a static control with SS_NOTIFY takes the mouse; others let it
    // pass through to the dialog.
    RECT r;
    GetWindowRect(link, &r);
    EXPECT_EQ(SendMessageA(link, WM_NCHITTEST, 0, MAKELPARAM(r.left + 6, (r.top + r.bottom) / 2)), HTCLIENT);
    // The real pointer starts at the screen's centre, where the link of the
    // centred dialog lies: the system's own moves there would set the hand
    // behind this test's back. Away from the dialog, only this test moves it.
    ASSERT_TRUE(wt::WaitUntil(
        [&] {
            SetCursorPos(0, 0);
            POINT p;
            return GetCursorPos(&p) && !PtInRect(&r, p) && WindowFromPoint(p) != link;
        },
        st::kWaitMs));

    PointerOver(run.Dialog(), OnTheDialogFace(run.Dialog()));
    const HCURSOR arrow = ShownCursor();
    PointerOver(link, {6, 4});
    const HCURSOR hand = ShownCursor();
    PointerOver(run.Dialog(), OnTheDialogFace(run.Dialog()));
    EXPECT_NE(arrow, nullptr);
    EXPECT_NE(hand, nullptr);
    EXPECT_NE(hand, arrow);
    EXPECT_EQ(ShownCursor(), arrow);
    wt::PressButton(run.Dialog(), IDCANCEL);
    EXPECT_TRUE(run.WaitForExit());
}

TEST(LinkControl, ClickOpensItsCurrentTextAndLeavesTheDialogAsItWas)
{
    ASSERT_TRUE(RegisterRecorderForWebAddresses());
    OptionsRun run;
    ASSERT_TRUE(run.Open());
    ASSERT_TRUE(WaitForForeground(run.Dialog()));
    HWND link = GetDlgItem(run.Dialog(), IDC_WEB_LINK);
    ASSERT_NE(link, nullptr);
    const std::string address = wt::Text(link);
    ASSERT_EQ(address.rfind("http://", 0), 0u) << address;
    ASSERT_TRUE(run.WaitForLabel(IDC_BALLS_LABEL, "3"));

    ClickOn(link, {6, 4});
    EXPECT_TRUE(wt::WaitUntil([&] { return RecordedOpens().find("\"" + address + "\"") != std::string::npos; },
                              kShellWaitMs))
        << RecordedOpens();

    // The link opens whatever it holds at the time of the click.
    const std::string other = "http://www.velloran.example/other/";
    SendMessageA(link, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(other.c_str()));
    ClickOn(link, {40, 4});
    EXPECT_TRUE(wt::WaitUntil([&] { return RecordedOpens().find("\"" + other + "\"") != std::string::npos; },
                              kShellWaitMs))
        << RecordedOpens();

    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(IsWindowVisible(run.Dialog()));
    EXPECT_EQ(run.Label(IDC_BALLS_LABEL), "3");
    EXPECT_EQ(run.ListSelection(IDC_SYMMETRY_COMBO), 1);
    EXPECT_TRUE(st::StoredSettings().empty());
    wt::PressButton(run.Dialog(), IDCANCEL);
    EXPECT_TRUE(run.WaitForExit());
    EXPECT_TRUE(st::StoredSettings().empty());
}

}  // namespace
