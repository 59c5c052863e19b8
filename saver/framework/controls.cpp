#include "framework/controls.h"

bool Control::Attach(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return false;
    AttachHandle(control);
    return true;
}

bool Control::SubclassDlgItem(int id, HWND dialog) { return SubclassWindow(GetDlgItem(dialog, id)); }

LRESULT Control::Send(UINT id, WPARAM wParam, LPARAM lParam) const
{
    return Handle() ? SendMessageA(Handle(), id, wParam, lParam) : 0;
}

void Control::SetText(const char* text)
{
    if (Handle()) SetWindowTextA(Handle(), text);
}

void Control::GetText(char* text, int size) const
{
    text[0] = '\0';
    if (Handle()) GetWindowTextA(Handle(), text, size);
}
