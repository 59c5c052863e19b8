#include "render/saver_view.h"

#include <cstring>

#include "render/anim_timer.h"
#include "resource.h"
#include "render/monitors.h"

namespace {

// Posted by a tick that finds the view unseen: its timer cannot be stopped
// from inside its own tick.
constexpr UINT kFollowVisibility = WM_APP;

// The power setting whose changes say that the display of this session went
// off (0), on (1) or dim (2, still seen). The session's and not the console's:
// under Remote Desktop the console's display may sleep while the session is
// watched. Windows 8 and later report it; on Vista and 7 no report comes, and
// the animation simply runs.
constexpr GUID kSessionDisplayStatus = {0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};

// The registration calls came with Vista: looked up at run time, so that the
// saver also starts where they are missing.
template <class Function> Function User32Function(const char* name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

HPOWERNOTIFY ListenToDisplayState(HWND window)
{
    using Register = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
    const auto registerNotification = User32Function<Register>("RegisterPowerSettingNotification");
    if (!registerNotification) return nullptr;
    return registerNotification(window, &kSessionDisplayStatus, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void StopListening(HPOWERNOTIFY notification)
{
    using Unregister = BOOL(WINAPI*)(HPOWERNOTIFY);
    const auto unregisterNotification = User32Function<Unregister>("UnregisterPowerSettingNotification");
    if (notification && unregisterNotification) unregisterNotification(notification);
}

}  // namespace

SaverView::SaverView(bool autoDelete, SettingsReader& settings) : autoDelete_(autoDelete), settings_(settings) {}

SaverView::~SaverView() = default;

const char* InvisiblePointerClass()
{
    static char className[32];
    if (!className[0]) {
        Window::RegisterWindowClass(CS_HREDRAW | CS_VREDRAW,
                                    LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_INVISIBLE)), nullptr,
                                    nullptr, className);
    }
    return className;
}

bool SaverView::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent)
{
    return CreateWindowOfClass(InvisiblePointerClass(), "", exStyle, style, rect, parent);
}

bool SaverView::HandleMessage(Message& m)
{
    switch (m.id) {
    case WM_CREATE:
        m.result = OnCreate(m);
        return true;
    case WM_TIMER:
        return OnTick(m);
    case WM_PAINT:
        // A window shown or restored again is painted: the animation goes on.
        FollowVisibility();
        OnPaint();
        m.result = 0;
        return true;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(m.wParam));
        m.result = 0;
        return true;
    case kFollowVisibility:
        FollowVisibility();
        return true;
    case WM_POWERBROADCAST:
        if (m.wParam != PBT_POWERSETTINGCHANGE) return false;
        OnPowerSettingChange(reinterpret_cast<const POWERBROADCAST_SETTING*>(m.lParam));
        m.result = TRUE;
        return true;
    case WM_DESTROY:
        // A preview's host may destroy the view at any time: its timer and
        // the timer resolution it holds go with it.
        StopListening(displayNotification_);
        displayNotification_ = nullptr;
        KillAnimTimer(Handle(), kTickTimerId);
        return false;
    default:
        return Window::HandleMessage(m);
    }
}

void SaverView::OnFinalMessage()
{
    if (autoDelete_) delete this;
}

LRESULT SaverView::OnCreate(Message& m)
{
    if (DefaultProcessing(m) == -1) return -1;
    // A child (the preview in the host's window) keeps the host's pixels.
    if (!(GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD)) scale_ = WindowScale(Handle());
    KillAnimTimer(Handle(), kTickTimerId);
    SetAnimTimer(Handle(), kTickTimerId, animation_.Period());
    displayNotification_ = ListenToDisplayState(Handle());
    return 0;
}

void SaverView::SetUpScene(int previewRequest)
{
    RECT client;
    GetClientRect(Handle(), &client);
    animation_.SetUp(client.right, client.bottom, scale_, previewRequest);
}

void SaverView::OnDpiChanged(UINT dpi)
{
    // The window keeps covering its monitor: only the board's logical size
    // changes, and the scene laid out for the old one starts anew.
    if (GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD) return;
    scale_ = dpi > 96 ? dpi / 96.0 : 1.0;
    repaintAll_ = true;
    RECT client;
    GetClientRect(Handle(), &client);
    animation_.Follow(client.right, client.bottom, scale_);
}

void SaverView::OnPowerSettingChange(const POWERBROADCAST_SETTING* setting)
{
    // The system also reports the display's state as soon as the window
    // registers; only a change from what the view believes does anything.
    if (!setting || !IsEqualGUID(setting->PowerSetting, kSessionDisplayStatus)) return;
    if (setting->DataLength < sizeof(DWORD)) return;
    DWORD state;
    std::memcpy(&state, setting->Data, sizeof state);
    displayOn_ = state != 0;
    FollowVisibility();
}

bool SaverView::CanBeSeen() const
{
    if (!displayOn_) return false;
    // Asked at every tick. A preview lives in another program's window, which
    // can be hidden or minimised without a word to it: only the system can
    // tell. A top-level view's own style says the same, without asking it.
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    if (style & WS_CHILD) return IsWindowVisible(Handle()) && !IsIconic(GetAncestor(Handle(), GA_ROOT));
    return (style & WS_VISIBLE) && !(style & WS_MINIMIZE);
}

void SaverView::FollowVisibility()
{
    const bool seen = CanBeSeen();
    if (seen != paused_) return;
    // Set first: stopping the timer handles a tick already on its way, which
    // must find the view paused.
    paused_ = !seen;
    if (seen) {
        repaintAll_ = true;
        SetAnimTimer(Handle(), kTickTimerId, animation_.Period());
    } else {
        KillAnimTimer(Handle(), kTickTimerId);
    }
}

bool SaverView::OnTick(Message& m)
{
    if (m.wParam != kTickTimerId) return false;
    m.result = 0;
    if (paused_) return true;
    if (!CanBeSeen()) {
        PostMessageA(Handle(), kFollowVisibility, 0, 0);
        return true;
    }

    // Without a context the frame cannot reach the window: the world waits
    // for the next tick, which repaints everything, since the buffer would
    // otherwise take for shown what never was (a pin knocked out, say).
    HDC dc = GetDC(Handle());
    if (!dc) {
        repaintAll_ = true;
        return true;
    }
    Frame(dc, true);
    ReleaseDC(Handle(), dc);
    return true;
}

void SaverView::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    // The whole frame, even for part of the window (the paint's clipping keeps
    // it there); the next tick repaints everything as well.
    Frame(dc, false);
    EndPaint(Handle(), &ps);
}

void SaverView::Frame(HDC target, bool tick)
{
    RECT client;
    GetClientRect(Handle(), &client);
    bool fresh;
    const HDC buffer = buffer_.For(target, client, &fresh);
    // A new buffer knows nothing of the window: its first frame repaints all.
    if (fresh) animation_.Forget();
    const bool whole = !tick || repaintAll_;
    if (whole) FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    GdiPen pen(target, buffer, scale_);
    if (tick) {
        animation_.Tick(pen, repaintAll_);
        repaintAll_ = false;
    } else {
        animation_.Show(pen);
    }
}
