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

std::string Control::GetText() const
{
    if (!Handle()) return std::string();
    const int length = GetWindowTextLengthA(Handle());
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(Handle(), &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}
