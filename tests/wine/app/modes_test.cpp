// Command lines that must end the screensaver at once with code 0, showing
// nothing and touching nothing: no mode, a wrong-case uninstall, a preview
// with no window to draw into.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

BOOL CALLBACK FindVisible(HWND w, LPARAM pid)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    return owner != *reinterpret_cast<DWORD*>(pid) || !IsWindowVisible(w);  // FALSE stops: found
}

TEST(Modes, EndAtOnceShowingAndTouchingNothing)
{
    const std::string installed = wt::WindowsDir() + "\\VelloranSaver.scr";
    ASSERT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), installed.c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    RegCloseKey(key);
    for (const char* arguments : {" /S", " \"\"", " x", " -uninstall", " /UNINSTALL", " /p", " /p 0", " /p 12345678", " /p -1"}) {
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(installed) + arguments)) << arguments;
        bool shown = false;
        EXPECT_TRUE(wt::WaitUntil([&] {
            DWORD pid = saver.Id();
            shown = shown || !EnumWindows(FindVisible, LPARAM(&pid));
            return !saver.Running();
        }, 20000)) << arguments << ": still running";
        DWORD code = 1234;
        EXPECT_TRUE(saver.Wait(0, &code) && code == 0) << arguments << ": exit code " << code;
        EXPECT_FALSE(shown) << arguments;
        EXPECT_TRUE(wt::FileExists(installed) && wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << arguments;
        EXPECT_FALSE(wt::FileExists(wt::WindowsDir() + "\\uninstss.bat")) << arguments;
    }
    wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteFileA(installed.c_str());
}

}  // namespace
