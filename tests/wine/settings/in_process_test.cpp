// The dialog classes on a thread of this program, which carries the
// screensaver's resources: what cannot be seen from another process (the
// state right after initialisation, the system menu, the cursor resource,
// the link's painting).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <ostream>
#include <string>

#include "resource.h"
#include "settings/link_control.h"
#include "settings/option_rules.h"
#include "settings/options_dialog.h"
#include "settings_driver.h"

namespace {

HMODULE Here() { return GetModuleHandleA(nullptr); }

void RegisterCommonControls()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

// Records the labels and slider positions as initialisation leaves them,
// before the dialog is shown and the sliders first report.
class ProbedOptionsDialog : public OptionsDialog {
public:
    ProbedOptionsDialog() : OptionsDialog(nullptr) {}
    std::map<int, std::string> firstLabels;
    std::map<int, int> firstPositions;

protected:
    BOOL OnInitDialog() override
    {
        const BOOL result = OptionsDialog::OnInitDialog();
        for (const SliderBinding& b : kSliderBindings) {
            char text[64] = {};
            GetDlgItemTextA(Handle(), b.labelId, text, sizeof text);
            firstLabels[b.labelId] = text;
            firstPositions[b.sliderId] = int(SendDlgItemMessageA(Handle(), b.sliderId, TBM_GETPOS, 0, 0));
        }
        return result;
    }
};

// Runs a dialog modally on a thread of its own, so that this thread can
// drive it and make the checks.
class ModalThread {
public:
    explicit ModalThread(Dialog& dialog) : dialog_(dialog)
    {
        thread_ = CreateThread(nullptr, 0, Body, this, 0, nullptr);
    }
    ~ModalThread()
    {
        if (!thread_) return;
        // A failed check must not leave the dialog running.
        wt::WaitUntil([&] {
            if (WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0) return true;
            for (const char* caption : {st::kAboutCaption, st::kOptionsCaption}) {
                if (HWND w = wt::FindTopWindow(caption, GetCurrentProcessId()))
                    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            }
            return false;
        }, st::kWaitMs);
        CloseHandle(thread_);
    }
    HWND WaitForDialog() const
    {
        return wt::WaitForWindow(st::kOptionsCaption, st::kWaitMs, GetCurrentProcessId());
    }
    // The result of DoModal, or -2 when it has not returned in time.
    INT_PTR Finish()
    {
        if (WaitForSingleObject(thread_, st::kWaitMs) != WAIT_OBJECT_0) return -2;
        return result_;
    }

private:
    static DWORD WINAPI Body(void* self)
    {
        auto* run = static_cast<ModalThread*>(self);
        run->result_ = run->dialog_.DoModal();
        return 0;
    }
    Dialog& dialog_;
    HANDLE thread_ = nullptr;
    INT_PTR result_ = -3;
};

SaverSettings Defaults()
{
    SaverSettings s;
    for (int i = 0; i < kStoredSettingCount; ++i) s.*kSettingFields[i] = kStoredSettings[i].defaultValue;
    return s;
}

struct FirstShowCase {
    const char* name;
    int32_t SaverSettings::*field;
    int32_t stored;
    int sliderId, labelId;
    const char* firstLabel;  // before the slider reports
    int end;                 // the slider's position, and the value from then on
    const char* endLabel;
    friend std::ostream& operator<<(std::ostream& os, const FirstShowCase& c)
    {
        return os << c.name << "=" << c.stored;
    }
};

class StoredValueAtFirst : public ::testing::TestWithParam<FirstShowCase> {};

TEST_P(StoredValueAtFirst, ShowsUntilTheSliderReports)
{
    const FirstShowCase& c = GetParam();
    RegisterCommonControls();
    ProbedOptionsDialog dialog;
    dialog.saverSettings = Defaults();
    dialog.saverSettings.*c.field = c.stored;
    {
        ModalThread run(dialog);
        HWND window = run.WaitForDialog();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(wt::WaitUntil([&] { return wt::ItemText(window, c.labelId) == c.endLabel; }, st::kWaitMs))
            << wt::ItemText(window, c.labelId);
        wt::PressButton(window, IDOK);
        ASSERT_EQ(run.Finish(), IDOK);
    }
    EXPECT_EQ(dialog.firstLabels[c.labelId], c.firstLabel);
    EXPECT_EQ(dialog.firstPositions[c.sliderId], c.end);
    EXPECT_EQ(dialog.saverSettings.*c.field, c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValueAtFirst,
    ::testing::Values(
        FirstShowCase{"NumBalls", &SaverSettings::numBalls, 25, IDC_BALLS_SLIDER, IDC_BALLS_LABEL, "25", 10, "10"},
        FirstShowCase{"Gravity", &SaverSettings::gravity, 0, IDC_GRAVITY_SLIDER, IDC_GRAVITY_LABEL, "0.00", 1,
                      "0.05"},
        FirstShowCase{"PinSize", &SaverSettings::pinSize, -7, IDC_PINSIZE_SLIDER, IDC_PINSIZE_LABEL, "-7", 6, "6"}));

TEST(OptionsDialogWindow, SystemMenuEndsWithTheAboutItem)
{
    RegisterCommonControls();
    OptionsDialog dialog(nullptr);
    dialog.saverSettings = Defaults();
    ModalThread run(dialog);
    HWND window = run.WaitForDialog();
    ASSERT_NE(window, nullptr);

    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    MENUITEMINFOA separator = {};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, count - 2, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    char text[128] = {};
    EXPECT_EQ(GetMenuItemID(menu, count - 1), UINT(IDM_ABOUTBOX));
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Velloran Saver...");

    // Dragging a minimised dialog shows the screensaver's icon.
    const LRESULT dragIcon = SendMessageA(window, WM_QUERYDRAGICON, 0, 0);
    EXPECT_EQ(reinterpret_cast<HICON>(dragIcon), LoadIconA(Here(), MAKEINTRESOURCEA(IDI_SAVER)));

    wt::PressButton(window, IDCANCEL);
    EXPECT_EQ(run.Finish(), IDCANCEL);
}

// A window with a plain static control in it, for the link to take over.
class LinkHost {
public:
    LinkHost()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = Here();
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "VelloranLinkHost";
        RegisterClassA(&wc);
        window = CreateWindowExA(WS_EX_TOPMOST, "VelloranLinkHost", "link host", WS_POPUP | WS_VISIBLE, 40, 40, 420,
                                 60, nullptr, nullptr, Here(), nullptr);
        link = CreateWindowExA(0, "STATIC", "http://www.velloran.example/saver/", WS_CHILD | WS_VISIBLE | SS_NOTIFY,
                               10, 10, 400, 30, window, reinterpret_cast<HMENU>(IDC_WEB_LINK), Here(), nullptr);
        font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                           "Tahoma");
        SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    ~LinkHost()
    {
        DestroyWindow(window);
        DeleteObject(font);
    }
    void Pump() const
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    HWND window = nullptr;
    HWND link = nullptr;
    HFONT font = nullptr;
};

// The longest run of pure blue pixels in any row of the picture.
int LongestBlueRun(const wt::Screen& shot, int* blueCount)
{
    int longest = 0;
    *blueCount = 0;
    for (int y = 0; y < shot.height; ++y) {
        int run = 0;
        for (int x = 0; x < shot.width; ++x) {
            const bool blue = shot.At(x, y) == RGB(0, 0, 255);
            *blueCount += blue;
            run = blue ? run + 1 : 0;
            if (run > longest) longest = run;
        }
    }
    return longest;
}

TEST(LinkControlWindow, PaintsItsCurrentTextUnderlinedInBlueOnTheParentsFace)
{
    LinkHost host;
    LinkControl link;
    ASSERT_TRUE(link.SubclassDlgItem(IDC_WEB_LINK, host.window));

    for (const char* text : {"http://www.velloran.example/saver/", "http://v.example/"}) {
        SetWindowTextA(host.link, text);
        RedrawWindow(host.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        host.Pump();

        SIZE extent = {};
        HDC dc = GetDC(host.link);
        HGDIOBJ old = SelectObject(dc, host.font);
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
        SelectObject(dc, old);
        ReleaseDC(host.link, dc);

        int blue = 0;
        const wt::Screen shot = wt::CaptureWindow(host.link);
        ASSERT_GT(shot.width, extent.cx + 10);
        const int underline = LongestBlueRun(shot, &blue);
        // The underline spans the whole text and nothing further.
        EXPECT_GE(underline, extent.cx - 2) << text;
        EXPECT_LE(underline, extent.cx + 2) << text;
        EXPECT_GT(blue, underline * 2) << text;
        // Past the text the parent's face shows through.
        EXPECT_EQ(shot.At(shot.width - 2, shot.height - 2), GetSysColor(COLOR_BTNFACE)) << text;
    }
}

}  // namespace
