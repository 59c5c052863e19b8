// Control objects for a dialog's existing controls. Attach wraps a control
// by id; SubclassDlgItem also routes its messages through the object's table
// first (the control's own procedure stays the default processing).
#pragma once
#include "framework/window.h"

#include <commctrl.h>

class Control : public Window {
public:
    bool Attach(HWND dialog, int id);
    bool SubclassDlgItem(int id, HWND dialog);

    LRESULT Send(UINT id, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetText(const char* text);
    // Copies the control's text, cut to size - 1 bytes, into text.
    void GetText(char* text, int size) const;
};

class StaticControl : public Control {};

class Slider : public Control {
public:
    void SetRange(int minimum, int maximum, bool redraw) { Send(TBM_SETRANGE, redraw, MAKELPARAM(minimum, maximum)); }
    void SetPos(int position) { Send(TBM_SETPOS, TRUE, position); }
    int GetPos() const { return static_cast<int>(Send(TBM_GETPOS)); }
};

class ComboBox : public Control {
public:
    int SetCurSel(int index) { return static_cast<int>(Send(CB_SETCURSEL, index)); }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
};
