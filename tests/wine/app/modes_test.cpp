// Command lines that must end the screensaver at once, showing nothing and
// touching nothing.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

struct WindowSearch {
    DWORD pid;
    bool found;
};

BOOL CALLBACK MatchVisibleWindowOf(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == s->pid && IsWindowVisible(w)) s->found = true;
    return !s->found;
}

bool ShowsAWindow(DWORD pid)
{
    WindowSearch search{pid, false};
    EnumWindows(MatchVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs the installed-looking screensaver with a command line; returns its exit
// code, or -1 when it did not end within the deadline or showed a window.
long RunAndExpectQuietEnd(const std::string& arguments)
{
    wt::Process saver;
    if (!saver.Start(wt::Quote(wt::Artefact("VelloranSaver.scr")) + arguments)) return -2;
    bool shown = false;
    const bool ended = wt::WaitUntil(
        [&] {
            shown = shown || ShowsAWindow(saver.Id());
            return !saver.Running();
        },
        20000);
    DWORD code = 0;
    if (!ended || shown || !saver.Wait(0, &code)) return -1;
    return static_cast<long>(code);
}

class NoMode : public ::testing::TestWithParam<const char*> {};

TEST_P(NoMode, EndsAtOnceShowingNothing)
{
    EXPECT_NE(RunAndExpectQuietEnd(GetParam()), -1) << "arguments:" << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Arguments, NoMode,
                         ::testing::Values(" /S", " /C", " \"\"", " /p:592", " /UNINSTALL", " UNINSTALL", " x",
                                           " -UNINSTALLED"));

// Preview needs a host window; without one (or with a handle that names
// none) it has nothing to draw into and ends with code 0.
class PreviewWithoutHost : public ::testing::TestWithParam<const char*> {};

TEST_P(PreviewWithoutHost, EndsAtOnceWithCodeZero)
{
    EXPECT_EQ(RunAndExpectQuietEnd(GetParam()), 0) << "arguments:" << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Arguments, PreviewWithoutHost,
                         ::testing::Values(" /p", " /p 0", " /p 12345678", " -P abc", " /p -1"));

TEST(Modes, WrongCaseUninstallRemovesNothing)
{
    const std::string installed = wt::WindowsDir() + "\\VelloranSaver.scr";
    ASSERT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), installed.c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(installed) + " -uninstall"));
    ASSERT_TRUE(saver.Wait(20000));
    Sleep(500);  // give a wrongly started batch file the chance to do harm
    EXPECT_TRUE(wt::FileExists(installed));
    EXPECT_TRUE(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(wt::FileExists(wt::WindowsDir() + "\\uninstss.bat"));
}

}  // namespace
