// The window framework where it can break: table chaining, default
// processing, the self-deleting hook, the main-window rule, failed dialogs.
#include <gtest/gtest.h>

#include <vector>

#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/window.h"
#include "test_app.h"

namespace {

constexpr UINT kBaseOnly = WM_APP + 1;
constexpr UINT kDerivedOnly = WM_APP + 2;
constexpr UINT kBoth = WM_APP + 3;

class BaseWindow : public Window {
public:
    bool Create()
    {
        static const std::string cls = RegisterWindowClass(0, nullptr, nullptr, nullptr);
        RECT r = {0, 0, 100, 100};
        return CreateWindowOfClass(cls, "framework test", 0, WS_POPUP, r, nullptr, 0);
    }
    std::vector<const char*> log;

protected:
    bool HandleMessage(Message& m) override
    {
        switch (m.id) {
        case kBaseOnly: log.push_back("base"); m.result = 11; return true;
        case kBoth: log.push_back("base"); m.result = 12; return true;
        default: return Window::HandleMessage(m);
        }
    }
};

class DerivedWindow : public BaseWindow {
protected:
    bool HandleMessage(Message& m) override
    {
        switch (m.id) {
        case kDerivedOnly: log.push_back("derived"); m.result = 21; return true;
        case kBoth: log.push_back("derived"); m.result = 22; return true;
        default: return BaseWindow::HandleMessage(m);
        }
    }
};

TEST(Framework, MessageTablesChainToTheBaseAndFallBackToDefault)
{
    DerivedWindow w;
    ASSERT_TRUE(w.Create());
    EXPECT_EQ(SendMessageA(w.Handle(), kDerivedOnly, 0, 0), 21);
    EXPECT_EQ(SendMessageA(w.Handle(), kBaseOnly, 0, 0), 11);
    EXPECT_EQ(SendMessageA(w.Handle(), kBoth, 0, 0), 22);  // the derived table comes first
    EXPECT_EQ((std::vector<const char*>{"derived", "base", "derived"}), w.log);
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

TEST(Framework, HeapWindowDeletesItselfAfterItsLastMessage)
{
    bool deleted = false;
    auto* w = new SelfDeleting(&deleted);
    ASSERT_TRUE(w->Create());
    HWND handle = w->Handle();
    EXPECT_FALSE(deleted);
    DestroyWindow(handle);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(IsWindow(handle));
}

bool QuitPosted(WPARAM* code)
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    *code = msg.wParam;
    return true;
}

TEST(Framework, DestroyingTheMainWindowPostsQuitWithCodeZero)
{
    Application& app = TestApplication();
    BaseWindow other, main;
    ASSERT_TRUE(other.Create());
    ASSERT_TRUE(main.Create());
    app.mainWindow = &main;
    WPARAM code = 99;

    DestroyWindow(other.Handle());
    EXPECT_FALSE(QuitPosted(&code)) << "only the main window ends the loop";
    EXPECT_EQ(app.mainWindow, &main);

    DestroyWindow(main.Handle());
    EXPECT_EQ(app.mainWindow, nullptr);
    ASSERT_TRUE(QuitPosted(&code));
    EXPECT_EQ(code, 0u);
}

TEST(Framework, ADialogThatCannotBeCreatedReturnsMinusOne)
{
    Dialog missing(4242, nullptr);  // no such template
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(Framework, WindowClassesAreSharedPerAttributesAndUniquePerProcess)
{
    const std::string a = Window::RegisterWindowClass(CS_HREDRAW, nullptr, nullptr, nullptr);
    const std::string b = Window::RegisterWindowClass(CS_HREDRAW, nullptr, nullptr, nullptr);
    const std::string c = Window::RegisterWindowClass(CS_VREDRAW, nullptr, nullptr, nullptr);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    WNDCLASSA info;
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), c.c_str(), &info));
    EXPECT_EQ(info.style, UINT(CS_VREDRAW));
}

}  // namespace
