// The About box, opened from the options dialog's system menu. OK, Esc and
// the close box end it through the dialog's own handling.
#pragma once
#include "framework/dialog.h"

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND parent);
    ~AboutDialog() override;

protected:
    BOOL OnInitDialog() override;
};
