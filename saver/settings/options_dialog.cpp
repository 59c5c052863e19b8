#include "settings/options_dialog.h"

#include "render/monitors.h"
#include "resource.h"
#include "settings/about_dialog.h"
#include "settings/file_version.h"
#include "settings/option_rules.h"

OptionsDialog::OptionsDialog(HWND parent)
    : Dialog(IDD_OPTIONS, parent), icon_(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SAVER)))
{
}

OptionsDialog::~OptionsDialog() {}

bool OptionsDialog::HandleMessage(Message& m)
{
    switch (m.id) {
    case WM_SYSCOMMAND:
        if (!OnSysCommand(static_cast<UINT>(m.wParam))) return false;
        m.result = 0;
        return true;
    case WM_PAINT:
        if (!OnPaint()) return false;
        m.result = 0;
        return true;
    case WM_QUERYDRAGICON:
        m.result = reinterpret_cast<LRESULT>(icon_);
        return true;
    default:
        return Dialog::HandleMessage(m);
    }
}

void OptionsDialog::BindControls()
{
    for (size_t i = 0; i < kSliderSettings.size(); ++i) labels_[i].Attach(Handle(), kSettings[kSliderSettings[i]].labelId);
    for (size_t i = 0; i < kSliderSettings.size(); ++i) sliders_[i].Attach(Handle(), kSettings[kSliderSettings[i]].controlId);
    for (size_t i = 0; i < kListSettings.size(); ++i) lists_[i].Attach(Handle(), kSettings[kListSettings[i]].controlId);
}

BOOL OptionsDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    link_.SubclassDlgItem(IDC_WEB_LINK, Handle());
    char version[32];
    FormatFileVersion(version);
    SetDlgItemTextA(Handle(), IDC_VERSION_LABEL, version);

    for (size_t i = 0; i < kSliderSettings.size(); ++i) {
        const SettingId which = kSliderSettings[i];
        const Setting& setting = kSettings[which];
        const int32_t stored = saverSettings[which];
        // The label first: a stored value outside the range shows as it is
        // until the slider, which clamps it, reports its own position.
        ShowSliderValue(i, stored);
        sliders_[i].SetRange(setting.minimum, setting.maximum, true);
        sliders_[i].SetPos(stored);
        ShowFixed(which, sliders_[i]);
        ShowFixed(which, labels_[i]);
    }
    for (size_t i = 0; i < kListSettings.size(); ++i) {
        // An index outside the list leaves it without a selection.
        lists_[i].SetCurSel(saverSettings[kListSettings[i]]);
        ShowFixed(kListSettings[i], lists_[i]);
    }

    CenterWindow();

    char about[256] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0) {
        HMENU menu = GetSystemMenu(Handle(), FALSE);
        if (menu) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    return TRUE;
}

void OptionsDialog::ShowSliderValue(size_t slider, int32_t value)
{
    char text[32];
    FormatSliderLabel(kSettings[kSliderSettings[slider]].kind, value, text);
    labels_[slider].SetText(text);
}

void OptionsDialog::ShowFixed(SettingId which, Control& control)
{
    if (fixedSettings[which]) EnableWindow(control.Handle(), FALSE);
}

bool OptionsDialog::OnNotify(int controlId, NMHDR* header, LRESULT* result)
{
    // Any notification counts, a slider's custom-draw ones included: the
    // first one after start-up replaces a clamped stored value.
    for (size_t i = 0; i < kSliderSettings.size(); ++i) {
        if (kSettings[kSliderSettings[i]].controlId != controlId) continue;
        const int32_t position = sliders_[i].GetPos();
        saverSettings[kSliderSettings[i]] = position;
        ShowSliderValue(i, position);
        break;
    }
    return Dialog::OnNotify(controlId, header, result);
}

void OptionsDialog::OnOK()
{
    for (size_t i = 0; i < kListSettings.size(); ++i) saverSettings[kListSettings[i]] = lists_[i].GetCurSel();
    // Balls that policy fixes whole are the administrator's choice: refusing
    // them would leave the user no way to store anything.
    const bool ballsFixed = fixedSettings[kNumBalls] && fixedSettings[kBallSize];
    // Every board that the saver will show, at the size it will lay it out in.
    const uint32_t monitors = ClampStoredSetting(kMonitors, static_cast<uint32_t>(saverSettings[kMonitors]));
    for (const MonitorArea& board : BoardMonitors(monitors)) {
        const RECT& r = board.rect;
        if (!ballsFixed && BallsFillScreen(saverSettings[kNumBalls], saverSettings[kBallSize],
                                           LogicalPixels(r.right - r.left, board.scale),
                                           LogicalPixels(r.bottom - r.top, board.scale))) {
            MessageBoxA(Handle(), kBallsFillScreenText, kBallsFillScreenCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    EndDialog(IDOK);
}

bool OptionsDialog::OnSysCommand(UINT command)
{
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    // Without a parent the About box is owned by the main window: this dialog.
    AboutDialog about(nullptr);
    about.DoModal();
    return true;
}

bool OptionsDialog::OnPaint()
{
    // Only a minimised dialog paints itself: its icon, centred.
    if (!IsIconic(Handle())) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(Handle(), &ps);
    return true;
}
