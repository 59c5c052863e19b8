// The window framework where it can break: table chaining, default
// processing, the self-deleting hook, the main-window rule, failed dialogs.
#include <gtest/gtest.h>

#include "framework/dialog.h"
#include "test_app.h"

namespace {

constexpr UINT kBaseOnly = WM_APP + 1, kDerivedOnly = WM_APP + 2, kBoth = WM_APP + 3;

// Each table handles its own message and kBoth, answering 10 x its level, plus 1 for kBoth.
class BaseWindow : public Window {
public:
    bool Create()
    {
        static char cls[32];
        if (!cls[0]) RegisterWindowClass(0, nullptr, nullptr, nullptr, cls);
        return CreateWindowOfClass(cls, "framework test", 0, WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0);
    }

protected:
    bool HandleMessage(Message& m) override { return Answer(m, 1, kBaseOnly) || Window::HandleMessage(m); }
    bool Answer(Message& m, int level, UINT own)
    {
        if (m.id != own && m.id != kBoth) return false;
        m.result = level * 10 + (m.id == kBoth ? 1 : 0);
        return true;
    }
};

class DerivedWindow : public BaseWindow {
protected:
    bool HandleMessage(Message& m) override { return Answer(m, 2, kDerivedOnly) || BaseWindow::HandleMessage(m); }
};

TEST(Framework, MessageTablesChainToTheBaseAndFallBackToDefault)
{
    DerivedWindow w;
    ASSERT_TRUE(w.Create());
    EXPECT_EQ(SendMessageA(w.Handle(), kDerivedOnly, 0, 0), 20);
    EXPECT_EQ(SendMessageA(w.Handle(), kBaseOnly, 0, 0), 10);
    EXPECT_EQ(SendMessageA(w.Handle(), kBoth, 0, 0), 21);  // the derived table comes first
    // Unhandled messages get the default window procedure: WM_SETTEXT stores the text.
    SetWindowTextA(w.Handle(), "changed");
    char text[32] = {};
    GetWindowTextA(w.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "changed");
    DestroyWindow(w.Handle());
    EXPECT_EQ(w.Handle(), nullptr);
}

class SelfDeleting : public BaseWindow {
public:
    explicit SelfDeleting(bool* deleted) : deleted_(deleted) {}
    ~SelfDeleting() override { *deleted_ = true; }

protected:
    void OnFinalMessage() override { delete this; }

private:
    bool* deleted_;
};

TEST(Framework, AfterItsLastMessageTheMainWindowEndsTheLoopAndAHeapWindowDeletesItself)
{
    Application& app = TestApplication();
    bool deleted = false;
    BaseWindow other;
    auto* main = new SelfDeleting(&deleted);
    ASSERT_TRUE(other.Create() && main->Create());
    app.mainWindow = main;
    MSG msg;
    DestroyWindow(other.Handle());
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "only the main window ends the loop";
    DestroyWindow(main->Handle());
    EXPECT_TRUE(deleted);
    EXPECT_EQ(app.mainWindow, nullptr);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(Framework, ADialogThatCannotBeCreatedReturnsMinusOne)
{
    Dialog missing(4242, nullptr);  // no such template
    EXPECT_EQ(missing.DoModal(), -1);
}

}  // namespace
