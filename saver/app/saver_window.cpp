#include "app/saver_window.h"

bool SaverWindow::CreateFullScreen()
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr, 0, nullptr);
}

bool SaverWindow::HandleMessage(Message& m)
{
    switch (m.id) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return false;
    default:
        return SaverView::HandleMessage(m);
    }
}
