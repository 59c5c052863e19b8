#include "app/input_rules.h"

bool MovedFromFirstPosition(POINT& firstMouse, LPARAM position)
{
    const POINT at = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (firstMouse.x == -1 && firstMouse.y == -1) {
        firstMouse = at;
        return false;
    }
    return at.x != firstMouse.x || at.y != firstMouse.y;
}

bool InputEndsSaver(const Message& m, POINT& firstMouse)
{
    switch (m.id) {
    case WM_MOUSEMOVE:
        return MovedFromFirstPosition(firstMouse, m.lParam);
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
