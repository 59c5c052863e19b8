#include "render/saver_view.h"

bool SaverView::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT, void*)
{
    static const std::string className =
        RegisterWindowClass(CS_HREDRAW | CS_VREDRAW, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
    return CreateWindowOfClass(className, "", exStyle, style, rect, parent, 0);
}
