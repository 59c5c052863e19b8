// Command lines that must end the screensaver at once with code 0, showing
// nothing and touching nothing.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

BOOL CALLBACK MatchVisibleWindowOf(HWND w, LPARAM p)
{
    auto* pid = reinterpret_cast<DWORD*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != *pid || !IsWindowVisible(w)) return TRUE;
    *pid = 0;  // found one
    return FALSE;
}

bool ShowsAWindow(DWORD pid)
{
    EnumWindows(MatchVisibleWindowOf, reinterpret_cast<LPARAM>(&pid));
    return pid == 0;
}

// Runs a program with a command line and checks that it started, ended within
// the deadline, showed no window on the way and ended with code 0.
::testing::AssertionResult EndsQuietly(const std::string& program, const std::string& arguments)
{
    wt::Process saver;
    if (!saver.Start(wt::Quote(program) + arguments)) return ::testing::AssertionFailure() << "did not start";
    bool shown = false;
    const bool ended = wt::WaitUntil(
        [&] {
            shown = shown || ShowsAWindow(saver.Id());
            return !saver.Running();
        },
        20000);
    DWORD code = 1234;
    if (!ended) return ::testing::AssertionFailure() << "still running";
    if (shown) return ::testing::AssertionFailure() << "showed a window";
    if (!saver.Wait(0, &code) || code != 0) return ::testing::AssertionFailure() << "exit code " << code;
    return ::testing::AssertionSuccess();
}

class QuietEnd : public ::testing::TestWithParam<const char*> {};

// No mode, an unknown one, or a preview with no host window to draw into.
TEST_P(QuietEnd, EndsAtOnceShowingNothing)
{
    EXPECT_TRUE(EndsQuietly(wt::Artefact("VelloranSaver.scr"), GetParam())) << "arguments:" << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Arguments, QuietEnd,
                         ::testing::Values(" /S", " /C", " \"\"", " /p:592", " /UNINSTALL", " UNINSTALL", " x", " -UNINSTALLED",
                                           " /p", " /p 0", " /p 12345678", " -P abc", " /p -1"));

TEST(Modes, WrongCaseUninstallRemovesNothing)
{
    const std::string installed = wt::WindowsDir() + "\\VelloranSaver.scr";
    ASSERT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), installed.c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // The batch file and the key would both be dealt with before the program ends.
    EXPECT_TRUE(EndsQuietly(installed, " -uninstall"));
    EXPECT_TRUE(wt::FileExists(installed));
    EXPECT_TRUE(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(wt::FileExists(wt::WindowsDir() + "\\uninstss.bat"));
    wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteFileA(installed.c_str());
}

}  // namespace
