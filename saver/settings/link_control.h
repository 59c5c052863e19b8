// A static text control that shows its text as an underlined blue web link,
// shows the hand cursor over it and opens its text with the shell when
// clicked. It takes over a dialog's existing static control, which needs
// SS_NOTIFY: without it, mouse messages pass through to the dialog.
#pragma once
#include "framework/controls.h"

class LinkControl : public StaticControl {
public:
    LinkControl() = default;
    ~LinkControl() override;

protected:
    bool HandleMessage(Message& m) override;

private:
    void OnPaint();
    void OnMouseMove();
    void OnLButtonDown();
};
