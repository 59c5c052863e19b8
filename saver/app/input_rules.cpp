#include "app/input_rules.h"

bool InputEndsSaver(const Message& m, FirstPointer& firstMouse)
{
    switch (m.id) {
    case WM_MOUSEMOVE:
        return firstMouse.MovedTo(static_cast<short>(LOWORD(m.lParam)), static_cast<short>(HIWORD(m.lParam)));
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return true;
    default:
        return false;
    }
}
