// The window framework where it can break.
#include <gtest/gtest.h>


#include "app/saver_app.h"
#include "framework/application.h"
#include "framework/window.h"
#include "winhelp.h"

namespace {

SaverApp theApp;  // the framework's one application object

// Each level answers its own message and kBoth with 10 x its level, plus 1 for kBoth.
constexpr UINT kBaseOnly = WM_APP + 1, kDerivedOnly = WM_APP + 2, kBoth = WM_APP + 3;

class BaseWindow : public Window {
public:
    bool Create()
    {
        static char cls[32];
        if (!cls[0]) RegisterWindowClass(0, nullptr, nullptr, nullptr, cls);
        return CreateWindowOfClass(cls, "framework test", 0, WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0);
    }
    bool* deleted = nullptr;  // set: a heap object that deletes itself

protected:
    bool HandleMessage(Message& m) override { return Answer(m, 1, kBaseOnly) || Window::HandleMessage(m); }
    bool Answer(Message& m, int level, UINT own)
    {
        if (m.id != own && m.id != kBoth) return false;
        m.result = level * 10 + (m.id == kBoth);
        return true;
    }
    void OnFinalMessage() override
    {
        if (!deleted) return;
        *deleted = true;
        delete this;
    }
};

class DerivedWindow : public BaseWindow {
    bool HandleMessage(Message& m) override { return Answer(m, 2, kDerivedOnly) || BaseWindow::HandleMessage(m); }
};

TEST(Framework, TablesChainToTheBaseThenTheDefaultAndOnlyTheMainWindowEndsTheLoop)
{
    bool deleted = false;
    BaseWindow other;
    auto* main = new DerivedWindow;
    main->deleted = &deleted;
    ASSERT_TRUE(other.Create() && main->Create());
    const HWND w = main->Handle();
    EXPECT_EQ(SendMessageA(w, kDerivedOnly, 0, 0), 20);
    EXPECT_EQ(SendMessageA(w, kBaseOnly, 0, 0), 10);
    EXPECT_EQ(SendMessageA(w, kBoth, 0, 0), 21);
    EXPECT_EQ(SendMessageA(w, WM_GETTEXTLENGTH, 0, 0), 14) << "only the default procedure answers";
    Application::Current()->mainWindow = main;
    MSG msg;
    DestroyWindow(other.Handle());
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DestroyWindow(w);
    EXPECT_TRUE(deleted && !Application::Current()->mainWindow);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 0);
}

}  // namespace
