// The options dialog of the configure mode: seven sliders with value labels,
// three lists, the version label, a web link, and an About item in the system
// menu. The caller fills saverSettings before DoModal and stores them after
// IDOK; the dialog itself never touches the registry.
#pragma once
#include "framework/controls.h"
#include "framework/dialog.h"
#include "settings/link_control.h"
#include "settings/settings_store.h"

class OptionsDialog : public Dialog {
public:
    explicit OptionsDialog(HWND parent);
    ~OptionsDialog() override;

    // The working copy: sliders update it on every notification, the lists
    // only when OK is pressed.
    SaverSettings saverSettings;

protected:
    bool OnNotify(int controlId, NMHDR* header, LRESULT* result) override;
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool HandleMessage(Message& m) override;

private:
    bool OnSysCommand(UINT command);
    bool OnPaint();
    void ShowSliderValue(size_t slider, int32_t value);

    // In the order of kSliderBindings.
    StaticControl labels_[7];
    Slider sliders_[7];
    ComboBox symmetry_;
    ComboBox sparks_;
    ComboBox monitors_;
    LinkControl link_;
    HICON icon_;
};
