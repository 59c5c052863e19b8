// The two programs meet where the system does: the installer's SCRNSAVE.EXE, as the
// display settings start it. The uninstall command they share is pinned by both
// programs' tests (the installer's state table and the uninstall modes table).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "winhelp.h"

namespace {

const DWORD kWaitMs = 30000;

TEST(Lifecycle, InstalledSaverPreviewsInItsHostUntilTheHostGoes)
{
    wt::Process setup;  // through its welcome dialog and its closing message box
    ASSERT_TRUE(setup.Start(wt::Quote(wt::Artefact("VelloranSaverSetup.exe"))));
    wt::PressButton(wt::WaitForWindow("Velloran Saver Installer", kWaitMs, setup.Id()), IDOK);
    HWND box = wt::WaitForWindow("Notice", kWaitMs, setup.Id());
    ASSERT_NE(box, nullptr);
    wt::PressButton(box, IDOK);
    ASSERT_TRUE(setup.Wait(kWaitMs));
    const std::string saver = wt::ReadIniString("system.ini", "boot", "SCRNSAVE.EXE");

    // The preview lives in its host window until the host goes.
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 260, 0, 0, 0, 0);
    wt::Process preview;
    ASSERT_TRUE(preview.Start(saver + " /p " + std::to_string(reinterpret_cast<INT_PTR>(host))));
    EXPECT_TRUE(wt::PumpUntil([&] { return FindWindowExA(host, nullptr, nullptr, nullptr) != nullptr; }, kWaitMs));
    DestroyWindow(host);
    EXPECT_TRUE(wt::PumpUntil([&] { return preview.Wait(0); }, kWaitMs)) << "preview outlived its host";
}

}  // namespace
