// Modal dialogs from templates. The dialog object lives on the stack of the
// code that runs it; DoModal returns the id given to EndDialog (IDOK, IDCANCEL)
// or -1 when the dialog cannot be created.
#pragma once
#include "framework/window.h"

class Dialog : public Window {
public:
    Dialog(UINT templateId, HWND parent);

    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

protected:
    // Default initialisation: attaches the control objects (BindControls).
    // Runs once the controls exist and the template's initialisation data
    // has filled its lists. TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void BindControls() {}
    virtual void OnOK() { EndDialog(IDOK); }
    // Cancel button, Esc and the close box.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_NOTIFY from a control; true when handled, with its result in *result.
    virtual bool OnNotify(int controlId, NMHDR* header, LRESULT* result);

    // Centres the dialog over its owner, or over the screen without one.
    void CenterWindow();

    bool HandleMessage(Message& m) override;

    UINT templateId_;
    HWND parent_;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam);
    void ApplyInitData();
};
