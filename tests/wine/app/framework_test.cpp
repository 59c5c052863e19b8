// The window framework where it can break: table chaining, self-deletion, the main-window rule.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/window.h"

namespace {

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

TEST(Framework, MessageTablesChainToTheBaseThenToTheDefault)
{
    DerivedWindow w;
    ASSERT_TRUE(w.Create());
    EXPECT_EQ(SendMessageA(w.Handle(), kDerivedOnly, 0, 0), 20);
    EXPECT_EQ(SendMessageA(w.Handle(), kBaseOnly, 0, 0), 10);
    EXPECT_EQ(SendMessageA(w.Handle(), kBoth, 0, 0), 21);
    SetWindowTextA(w.Handle(), "changed");  // only the default procedure stores it
    char text[32] = {};
    GetWindowTextA(w.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "changed");
    DestroyWindow(w.Handle());
}

TEST(Framework, AHeapWindowDeletesItselfAndOnlyTheMainWindowEndsTheLoop)
{
    bool deleted = false;
    BaseWindow other;
    auto* main = new BaseWindow;
    main->deleted = &deleted;
    ASSERT_TRUE(other.Create() && main->Create());
    Application::Current()->mainWindow = main;
    MSG msg;
    DestroyWindow(other.Handle());
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DestroyWindow(main->Handle());
    EXPECT_TRUE(deleted && !Application::Current()->mainWindow);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 0);
}

}  // namespace
