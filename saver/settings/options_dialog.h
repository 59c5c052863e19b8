// The options dialog of the configure mode: seven sliders with value labels,
// three lists, the version label, a web link, and an About item in the system
// menu. The caller fills saverSettings and fixedSettings before DoModal and
// stores the settings that are not fixed after IDOK; the dialog itself never
// touches the registry.
#pragma once
#include "framework/controls.h"
#include "framework/dialog.h"
#include "settings/link_control.h"
#include "settings/settings_table.h"

class OptionsDialog : public Dialog {
public:
    explicit OptionsDialog(HWND parent);
    ~OptionsDialog() override;

    // The working copy: sliders update it on every notification, the lists
    // only when OK is pressed.
    SaverSettings saverSettings;
    // By SettingId: set by an administrator's policy, shown with its controls disabled.
    bool fixedSettings[kSettingCount] = {};

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
    // Greys out the controls of a setting fixed by policy.
    void ShowFixed(SettingId which, Control& control);

    // In the order of kSliderSettings.
    StaticControl labels_[kSliderSettings.size()];
    Slider sliders_[kSliderSettings.size()];
    ComboBox lists_[kListSettings.size()];  // in the order of kListSettings
    LinkControl link_;
    HICON icon_;
};
